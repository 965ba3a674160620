#include "controls/KxFormManager.h"
#include "support/ControlsFixture.h"

#include <QTimer>

namespace {

class AboutForm : public TForm {
public:
    explicit AboutForm(QWidget* parent = nullptr) : TForm(parent) {
        setObjectName("formAbout");
        ++Created;
    }
    ~AboutForm() override { ++Destroyed; }
    static inline int Created = 0;
    static inline int Destroyed = 0;
};

class KxFormManagerTest : public ControlsFixture {
protected:
    void SetUp() override {
        ControlsFixture::SetUp();
        AboutForm::Created = AboutForm::Destroyed = 0;
    }

    void TearDown() override {
        delete About;
        About = nullptr;
        DeletePending();
        ControlsFixture::TearDown();
    }

    static void DeletePending() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Runs `action` as soon as the modal loop of ShowForm is running.
    static void Soon(std::function<void()> action) { QTimer::singleShot(0, std::move(action)); }

    TKxFormManager Manager;
    AboutForm* About = nullptr;
};

TEST_F(KxFormManagerTest, ModelessRequestsShareOneWindowAndOneRecord) {
    EXPECT_EQ(Manager.ShowForm(About, 1), 0);
    AboutForm* first = About;
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(Manager.ShowForm(About, 1), 0);
    EXPECT_EQ(About, first);
    EXPECT_EQ(Manager.Count(), 1);
    EXPECT_EQ(AboutForm::Created, 1);
}

TEST_F(KxFormManagerTest, AClosedModalWindowIsFreedAndTheNextRequestBuildsAFreshOne) {
    Soon([this] { About->done(7); });
    EXPECT_EQ(Manager.ShowForm(About, 0), 7);
    EXPECT_EQ(About, nullptr);
    EXPECT_EQ(Manager.Count(), 0);
    DeletePending();
    EXPECT_EQ(AboutForm::Destroyed, 1);

    Soon([this] { About->close(); });
    Manager.ShowForm(About, 0);
    EXPECT_EQ(AboutForm::Created, 2);
    EXPECT_EQ(About, nullptr);
}

TEST_F(KxFormManagerTest, OtherModesCreateAndRegisterWithoutShowing) {
    EXPECT_EQ(Manager.ShowForm(About, 99), 0);
    ASSERT_NE(About, nullptr);
    EXPECT_FALSE(About->isVisible());
    EXPECT_EQ(Manager.Count(), 1);
}

TEST_F(KxFormManagerTest, OwnHandlerThatHidesKeepsTheWindowRegistered) {
    // A window made by the program with its own handler is registered on
    // its first request; its handler runs inside the manager's.
    About = new AboutForm;
    AboutForm* window = About;
    int ownCalls = 0;
    window->SetOnClose([&](QObject* sender, TCloseAction& action) {
        EXPECT_EQ(sender, window);
        EXPECT_EQ(action, caFree);
        ++ownCalls;
        action = caHide;
    });
    Manager.ShowForm(About, 1);
    EXPECT_EQ(Manager.Count(), 1);
    window->close();
    EXPECT_EQ(ownCalls, 1);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(About, window);
    EXPECT_EQ(Manager.Count(), 1);
    Manager.ShowForm(About, 1);
    EXPECT_EQ(About, window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Manager.Count(), 1);
    EXPECT_EQ(AboutForm::Created, 1);
}

TEST_F(KxFormManagerTest, OwnHandlerCanKeepTheWindowOpen) {
    About = new AboutForm;
    About->SetOnClose([](QObject*, TCloseAction& action) { action = caNone; });
    Manager.ShowForm(About, 1);
    EXPECT_EQ(Manager.Count(), 1);
    EXPECT_FALSE(About->close());
    EXPECT_TRUE(About->isVisible());
    EXPECT_EQ(Manager.Count(), 1);
}

TEST_F(KxFormManagerTest, ModalRequestOnAVisibleWindowShowsItAgainModally) {
    Manager.ShowForm(About, 1);
    AboutForm* window = About;
    EXPECT_FALSE(window->isModal());
    bool modal = false;
    Soon([&] {
        modal = QApplication::activeModalWidget() == window;
        window->close();
    });
    Manager.ShowForm(About, 0);
    EXPECT_TRUE(modal);
    EXPECT_EQ(About, nullptr);
    EXPECT_EQ(AboutForm::Created, 1);
}

TEST_F(KxFormManagerTest, ShowAndWaitReturnsWhenTheWindowCloses) {
    bool wasVisible = false;
    Soon([&] {
        wasVisible = About && About->isVisible();
        About->close();
    });
    EXPECT_EQ(Manager.ShowForm(About, 2), 0);
    EXPECT_TRUE(wasVisible);
    EXPECT_EQ(About, nullptr);
}

TEST_F(KxFormManagerTest, CloseOfAnUnknownWindowIsAnErrorAndKeepsItOpen) {
    AboutForm rogue;
    rogue.setObjectName("formRogue");
    rogue.SetOnClose(
        [this](QObject* sender, TCloseAction& action) { Manager.FormClose(sender, action); });
    rogue.show();
    EXPECT_FALSE(rogue.close());
    EXPECT_TRUE(rogue.isVisible());
    EXPECT_EQ(Errors, QStringList{"Form \"formRogue\" not found in form manager list"});
}

TEST_F(KxFormManagerTest, DestroyedManagerGivesWindowsTheirHandlersBack) {
    int ownCalls = 0;
    About = new AboutForm;
    About->SetOnClose([&](QObject*, TCloseAction&) { ++ownCalls; });
    {
        TKxFormManager shortLived;
        shortLived.ShowForm(About, 1);
    }
    About->close(); // no manager involved any more: the window only hides
    EXPECT_EQ(ownCalls, 1);
    EXPECT_NE(About, nullptr);
    EXPECT_FALSE(About->isVisible());
}

} // namespace
