// The about box and the Help menu's new-version check, through the main
// window.

#include "app/LCAbout.h"
#include "controls/Animate.h"
#include "gui/MainWindowFixture.h"
#include "support/LocalHttpServer.h"
#include "support/QStringPrint.h"
#include "support/VersionBlockFile.h"
#include "version/GetNewVersion.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

// Stands in for the web browser: takes what would be handed to it.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher() {
        for (const QString scheme : {"http", "https", "file"})
            QDesktopServices::setUrlHandler(scheme, this, "Open");
    }
    ~UrlCatcher() override {
        for (const QString scheme : {"http", "https", "file"})
            QDesktopServices::unsetUrlHandler(scheme);
    }
    QList<QUrl> Urls;

public Q_SLOTS:
    void Open(const QUrl& url) { Urls << url; }
};

namespace {

class AboutBoxTest : public MainWindowTest {
protected:
    // Runs `inside` on the modal box that `action` opens, then presses
    // Enter in it.
    void WithModalBox(QAction* action, const std::function<void(TformAbout*)>& inside) {
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<TformAbout*>(QApplication::activeModalWidget());
            EXPECT_NE(box, nullptr);
            if (!box)
                return;
            inside(box);
            QTest::keyClick(box, Qt::Key_Return);
        });
        action->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(AboutBoxTest, AFreshBoxEachTimeShowsTheProgramsVersionOverTheWindow) {
    MakeWindow();
    Form->setGeometry(60, 40, 600, 400);
    QList<QPointer<TformAbout>> boxes;
    for (int i = 0; i < 2; ++i) {
        WithModalBox(Find<QAction>("menuAbout"), [&](TformAbout* box) {
            boxes << box;
            // The test binary carries the block every program carries.
            EXPECT_EQ(box->findChild<QLabel*>("labelVersion")->text(),
                      "Version " TREVALON_FILE_VERSION);
            EXPECT_TRUE(box->findChild<TAnimate*>("aniLogo")->Active());
            EXPECT_EQ(box->geometry().center(), Form->frameGeometry().center());
            EXPECT_TRUE(box->windowFlags() & Qt::FramelessWindowHint);
        });
    }
    ASSERT_EQ(boxes.size(), 2);
    // Enter took the OK button and the closed box was freed.
    EXPECT_TRUE(boxes[0].isNull());
    EXPECT_TRUE(boxes[1].isNull());
    EXPECT_TRUE(Dialogs->Shown.isEmpty());
}

TEST_F(AboutBoxTest, TheLinkOpensTheMakersPageInTheBrowser) {
    UrlCatcher browser;
    TformAbout box;
    box.show();
    QLabel* link = box.findChild<QLabel*>("labelWebpage");
    ASSERT_NE(link, nullptr);
    QTest::mouseClick(link, Qt::LeftButton);
    ASSERT_EQ(browser.Urls.size(), 1);
    EXPECT_EQ(browser.Urls[0].scheme(), "https");
    EXPECT_EQ(browser.Urls[0].host() + browser.Urls[0].path(), link->text());
}

TEST_F(AboutBoxTest, TheHelpMenuChecksWithMessagesABusyCursorAndTheBrowser) {
    QTemporaryDir dir;
    const QString program = dir.filePath("trevalon");
    ASSERT_TRUE(WriteProgramFile(program, "1.1.5.0"));
    LocalHttpServer server;
    std::optional<Qt::CursorShape> cursorWhileDownloading;
    server.OnRequest = [&] {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        cursorWhileDownloading = cursor ? cursor->shape() : Qt::ArrowCursor;
    };
    server.Body = "[CurrentVersions]\r\ntrevalon=1.2.0.0\r\n"
                  "[DownloadURL]\r\ntrevalon=http://www.example.com/get\r\n";

    MakeWindow();
    TGetNewVersion* check = Form->NewVersionCheck();
    check->SetExecutableFile(program);
    check->SetTempFile(dir.filePath("versions.tmp"));
    check->SetURLCurrVerFile(server.Url());
    UrlCatcher browser;
    Dialogs->Answers = {TMsgResult::mrYes};
    Find<QAction>("menuCheckVersion")->trigger();

    EXPECT_EQ(cursorWhileDownloading, Qt::WaitCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ASSERT_EQ(Dialogs->Shown.size(), 1);
    EXPECT_TRUE(Dialogs->Shown[0].startsWith("Check for New Version|There's a new version"));
    EXPECT_EQ(browser.Urls, QList<QUrl>({QUrl("http://www.example.com/get")}));
    EXPECT_TRUE(check->DownloadStarted());

    // Messages are on: a failed download is reported.
    server.Status = 500;
    Find<QAction>("menuCheckVersion")->trigger();
    ASSERT_EQ(Dialogs->Shown.size(), 2);
    EXPECT_TRUE(Dialogs->Shown[1].contains("Couldn't download file"));
}

} // namespace

#include "AboutBoxTest.moc"
