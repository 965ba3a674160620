#include "app/HelpViewer.h"

#include "app/HelpContext.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

struct TContextPage {
    int Context;
    const char* Page; // page#anchor below :/help
};

constexpr TContextPage ContextPages[] = {
    {hcMainWindow, "main.html#c10"},          {hcSaveSettings, "settings.html#c230"},
    {hcRecallSettings, "settings.html#c240"}, {hcSupplySwitch, "firing.html#c1000"},
    {hcFireMode, "firing.html#c1010"},        {hcRepRate, "firing.html#c1030"},
    {hcOutputRange, "output.html#c1040"},     {hcVoltageAndAngles, "output.html#c1045"},
    {hcDiodeCurrents, "output.html#c1047"},   {hcOutputLevel, "output.html#c1050"},
    {hcWavelength, "optics.html#c1060"},      {hcStatusPanel, "status.html#c1070"},
    {hcStatusBar, "status.html#c1075"},       {hcAperture, "optics.html#c1100"},
};

const QUrl HelpRoot(QStringLiteral("qrc:/help/"));

THelpViewer* SharedViewer = nullptr;

} // namespace

THelpViewer::THelpViewer(QWidget* parent)
    : QWidget(parent, Qt::Window), FBrowser(new QTextBrowser(this)),
      FBack(new QPushButton(tr("Back"), this)), FForward(new QPushButton(tr("Forward"), this)),
      FContents(new QPushButton(tr("Contents"), this)) {
    setWindowTitle(tr("Trevalon Help"));
    resize(640, 560);

    FBack->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    FForward->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    FBack->setEnabled(false);
    FForward->setEnabled(false);

    // Links are opened here rather than by the browser, so that nothing but
    // our own pages loads inside it.
    FBrowser->setOpenLinks(false);
    FBrowser->setOpenExternalLinks(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FBack);
    buttons->addWidget(FForward);
    buttons->addWidget(FContents);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(FBrowser);

    connect(FBack, &QPushButton::clicked, FBrowser, &QTextBrowser::backward);
    connect(FForward, &QPushButton::clicked, FBrowser, &QTextBrowser::forward);
    connect(FContents, &QPushButton::clicked, this, [this] { ShowUrl(ContentsUrl()); });
    connect(FBrowser, &QTextBrowser::backwardAvailable, FBack, &QPushButton::setEnabled);
    connect(FBrowser, &QTextBrowser::forwardAvailable, FForward, &QPushButton::setEnabled);
    connect(FBrowser, &QTextBrowser::anchorClicked, this, &THelpViewer::OpenLink);
}

THelpViewer::~THelpViewer() {
    if (SharedViewer == this)
        SharedViewer = nullptr;
}

THelpViewer* THelpViewer::Instance() {
    if (!SharedViewer) {
        SharedViewer = new THelpViewer;
        // An open help window must not keep the program running once the
        // main window has closed (and the laser has been switched off).
        SharedViewer->setAttribute(Qt::WA_QuitOnClose, false);
        // A top-level widget must go before the application object does.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, [] { delete SharedViewer; });
    }
    return SharedViewer;
}

void THelpViewer::ShowHelpContext(int context) {
    Instance()->ShowContext(context);
}

QUrl THelpViewer::UrlForContext(int context) {
    for (const TContextPage& entry : ContextPages)
        if (entry.Context == context)
            return HelpRoot.resolved(QUrl(QString::fromLatin1(entry.Page)));
    return ContentsUrl();
}

QUrl THelpViewer::ContentsUrl() {
    return HelpRoot.resolved(QUrl(QStringLiteral("index.html")));
}

void THelpViewer::ShowContext(int context) {
    ShowUrl(UrlForContext(context));
}

void THelpViewer::ShowUrl(const QUrl& url) {
    FBrowser->setSource(url);
    // setSource does not scroll again when the page and anchor are the ones
    // already shown, though the operator may have scrolled away since.
    if (url.hasFragment())
        FBrowser->scrollToAnchor(url.fragment());
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void THelpViewer::OpenLink(const QUrl& link) {
    const QUrl url = FBrowser->source().resolved(link);
    const QString scheme = url.scheme();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        QDesktopServices::openUrl(url);
    else if (scheme == QLatin1String("qrc") && url.path().startsWith(HelpRoot.path()))
        ShowUrl(url);
}
