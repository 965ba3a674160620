#include "app/HelpViewer.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <set>

namespace {

// The help contexts the main window gives its controls and dialogs.
const int WindowContexts[] = {10,   230,  240,  1000, 1010, 1030, 1040,
                              1045, 1047, 1050, 1060, 1070, 1075, 1100};

struct TPage {
    bool Found = false;
    std::set<QString> Anchors;
    std::set<QString> Links;
    std::set<QString> Images;
};

TPage ReadPage(const QUrl& url) {
    TPage page;
    QFile file(QLatin1Char(':') + url.path());
    if (!file.open(QIODevice::ReadOnly))
        return page;
    page.Found = true;
    QTextDocument doc;
    doc.setHtml(QString::fromUtf8(file.readAll()));
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            for (const QString& name : format.anchorNames())
                page.Anchors.insert(name);
            if (!format.anchorHref().isEmpty())
                page.Links.insert(format.anchorHref());
            if (format.isImageFormat())
                page.Images.insert(format.toImageFormat().name());
        }
    return page;
}

// Records the web addresses handed to the desktop instead of opening them.
class TUrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Opened;
public Q_SLOTS:
    void Open(const QUrl& url) { Opened << url; }
};

TEST(HelpViewerTest, EveryWindowContextHasItsOwnPlaceOnAPage) {
    for (int context : WindowContexts) {
        const QUrl url = THelpViewer::UrlForContext(context);
        EXPECT_NE(url, THelpViewer::ContentsUrl()) << context;
        const TPage page = ReadPage(url);
        EXPECT_TRUE(page.Found) << context << ": " << url.toString().toStdString();
        EXPECT_TRUE(page.Anchors.count(url.fragment())) << context;
    }
    EXPECT_EQ(THelpViewer::UrlForContext(4711), THelpViewer::ContentsUrl());
}

// The pages are the user guide in the source tree too: a picture or page
// that is not compiled in would show in a web browser and be missing here.
TEST(HelpViewerTest, EveryLinkAndPictureOfThePagesIsCompiledIn) {
    const QStringList pages = QDir(":/help").entryList({"*.html"});
    ASSERT_GE(pages.size(), 6);
    std::size_t images = 0;
    for (const QString& name : pages) {
        const QUrl base(QStringLiteral("qrc:/help/") + name);
        const TPage source = ReadPage(base);
        images += source.Images.size();
        for (const QString& image : source.Images) {
            const QUrl target = base.resolved(QUrl(image));
            EXPECT_EQ(target.scheme(), QLatin1String("qrc")) << image.toStdString();
            EXPECT_FALSE(QImage(QLatin1Char(':') + target.path()).isNull())
                << name.toStdString() << " -> " << image.toStdString();
        }
        for (const QString& href : source.Links) {
            const QUrl target = base.resolved(QUrl(href));
            if (target.scheme() != QLatin1String("qrc"))
                continue;
            const TPage page = ReadPage(target);
            EXPECT_TRUE(page.Found) << name.toStdString() << " -> " << href.toStdString();
            if (target.hasFragment()) {
                EXPECT_TRUE(page.Anchors.count(target.fragment()))
                    << name.toStdString() << " -> " << href.toStdString();
            }
        }
    }
    EXPECT_GT(images, 0u);
}

TEST(HelpViewerTest, ShowsTheContextsPageAndKeepsLinksInside) {
    THelpViewer* viewer = THelpViewer::Instance();
    EXPECT_EQ(THelpViewer::Instance(), viewer);
    viewer->ShowContext(1060);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->Browser()->source(), THelpViewer::UrlForContext(1060));
    EXPECT_TRUE(viewer->Browser()->toPlainText().contains("selects the next wavelength"));

    Q_EMIT viewer->Browser()->anchorClicked(QUrl("firing.html#c1000"));
    EXPECT_EQ(viewer->Browser()->source(), QUrl("qrc:/help/firing.html#c1000"));
    EXPECT_TRUE(viewer->Browser()->toPlainText().contains("Power supply switch"));

    TUrlRecorder desktop;
    QDesktopServices::setUrlHandler("https", &desktop, "Open");
    Q_EMIT viewer->Browser()->anchorClicked(QUrl("https://example.org/manual"));
    Q_EMIT viewer->Browser()->anchorClicked(QUrl("file:///etc/passwd"));
    QDesktopServices::unsetUrlHandler("https");
    EXPECT_EQ(desktop.Opened, QList<QUrl>{QUrl("https://example.org/manual")});
    EXPECT_EQ(viewer->Browser()->source(), QUrl("qrc:/help/firing.html#c1000"));

    viewer->ShowContext(4711);
    EXPECT_EQ(viewer->Browser()->source(), THelpViewer::ContentsUrl());
    viewer->close();
}

} // namespace

#include "HelpViewerTest.moc"
