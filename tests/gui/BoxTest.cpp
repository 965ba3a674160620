#include "controls/Box.h"
#include "controls/KxAdjuster.h"
#include "support/ControlsFixture.h"

#include <stdexcept>

namespace {

class BoxTest : public ControlsFixture {};

TEST_F(BoxTest, PlainBoxIs320By240AndRaisesCreateOnceBuilt) {
    QObject* created = nullptr;
    TBox box(nullptr, [&](QObject* sender) { created = sender; });
    EXPECT_EQ(created, &box);
    EXPECT_EQ(box.size(), QSize(320, 240));
    EXPECT_FALSE(box.Locked());
    EXPECT_TRUE(box.FullRepaint());
}

TEST_F(BoxTest, CreateAndDestroyErrorsAreShownWithoutStoppingEither) {
    auto* box = new TBox(Window.get(), [](QObject*) { throw std::runtime_error("create failed"); });
    EXPECT_EQ(box->size(), QSize(320, 240));
    QObject* destroyed = nullptr;
    box->SetOnDestroy([&](QObject* sender) {
        destroyed = sender;
        throw std::runtime_error("destroy failed");
    });
    delete box;
    EXPECT_EQ(destroyed, box);
    EXPECT_EQ(Errors, (QStringList{"create failed", "destroy failed"}));
}

TEST_F(BoxTest, DestroyHandlerStillSeesTheWholeDerivedControl) {
    auto* adj = new TKxAdjuster(Window.get());
    adj->SetValue(25.0f);
    float seen = -1;
    adj->SetOnDestroy([&](QObject* sender) {
        if (auto* a = dynamic_cast<TKxAdjuster*>(sender))
            seen = a->Value();
    });
    delete adj;
    EXPECT_EQ(seen, 25.0f);
}

TEST_F(BoxTest, PaintsItsColourAndResizesThroughItsHandler) {
    TBox box;
    box.SetBevelOuter(TBevelCut::bvNone);
    box.SetColor(QColor(10, 20, 30));
    EXPECT_EQ(box.grab().toImage().pixelColor(5, 5), QColor(10, 20, 30));
    int resizes = 0;
    box.SetOnResize([&](QObject*) { ++resizes; });
    box.SetBounds(0, 0, 100, 50); // hidden: laid out at once all the same
    EXPECT_EQ(resizes, 1);
    box.SetBounds(0, 0, 100, 50);
    EXPECT_EQ(resizes, 1);
}

} // namespace
