#pragma once

#include <QUrl>
#include <QWidget>

class QPushButton;
class QTextBrowser;

// The help window: the program's help pages (resources under :/help) in a
// browser with Back, Forward and Contents buttons. Links between the pages
// stay in the window; http and https links open in the desktop's web
// browser; links of any other kind do nothing.
//
// Help contexts are the numbers the main window gives its controls (10 the
// main window, 1000 the supply switch, ...); each names a page and a place
// on it.
class THelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit THelpViewer(QWidget* parent = nullptr);
    ~THelpViewer() override;

    // The shared help window, made on first use. Closing it only hides it;
    // it is destroyed when the application is about to quit.
    static THelpViewer* Instance();
    // Instance()->ShowContext(context).
    static void ShowHelpContext(int context);

    // The page and anchor of a help context, for example
    // qrc:/help/optics.html#c1060; the contents page for an unknown one.
    static QUrl UrlForContext(int context);
    static QUrl ContentsUrl();

    // Shows the page of the context at its anchor, then shows and raises
    // the window.
    void ShowContext(int context);
    // The same for a page address (qrc:/help/...).
    void ShowUrl(const QUrl& url);

    QTextBrowser* Browser() const { return FBrowser; }

private:
    void OpenLink(const QUrl& link);

    QTextBrowser* FBrowser;
    QPushButton* FBack;
    QPushButton* FForward;
    QPushButton* FContents;
};
