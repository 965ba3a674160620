#include "app/LCAbout.h"

#include "app/LogoClip.h"
#include "controls/Animate.h"
#include "version/rpVersionInfo.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Fixed colours: the box is white whatever the theme, so its texts must not
// take the theme's (possibly light) text colour.
const QColor Ink(0, 0, 0);
const QColor Blue(0, 0, 255);
const QColor Navy(0, 0, 128);
const QColor Border(128, 128, 128);

QFont PixelFont(const QFont& base, int pixels, bool bold, bool underline = false) {
    QFont font = base;
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QColor& colour) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

} // namespace

TformAbout::TformAbout(QWidget* parent) : TForm(parent) {
    setObjectName(QStringLiteral("formAbout"));
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);
    setMinimumSize(236, 135);

    rpVersionInfo1 = new TrpVersionInfo(this);
    rpVersionInfo1->setObjectName(QStringLiteral("rpVersionInfo1"));

    aniLogo = new TAnimate(this);
    aniLogo->setObjectName(QStringLiteral("aniLogo"));
    aniLogo->SetClip(std::make_shared<TLogoClip>());
    aniLogo->SetColor(Qt::white);
    QPalette logoPalette = aniLogo->palette();
    logoPalette.setColor(QPalette::Mid, Qt::white); // no frame around the logo
    aniLogo->setPalette(logoPalette);
    aniLogo->setFixedSize(aniLogo->sizeHint());

    const QString maker = QStringLiteral("Corvane");
    Label1 = MakeLabel(this, "Label1", maker + QStringLiteral(" \nTrevalon"), Ink);
    Label1->setFont(PixelFont(font(), 13, true));
    labelVersion = MakeLabel(this, "labelVersion", QStringLiteral("labelVersion"), Blue);
    labelVersion->setFont(PixelFont(font(), 16, true));
    labelVersion->setAlignment(Qt::AlignCenter);
    Label2 = MakeLabel(this, "Label2", QStringLiteral("Laser control for Linux."), Ink);

    QString caption = QLatin1String(WebAddress);
    caption.remove(0, caption.indexOf(QStringLiteral("://")) + 3);
    labelWebpage = MakeLabel(this, "labelWebpage", caption, Navy);
    labelWebpage->setFont(PixelFont(font(), 13, true, true));
    labelWebpage->setCursor(Qt::PointingHandCursor);
    labelWebpage->setToolTip(QLatin1String(WebAddress));
    labelWebpage->installEventFilter(this);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });

    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    texts->addWidget(Label1);
    texts->addWidget(labelVersion);
    texts->addWidget(Label2);
    texts->addWidget(labelWebpage);
    auto* top = new QHBoxLayout;
    top->addWidget(aniLogo, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addLayout(top);
    layout->addWidget(OKBtn, 0, Qt::AlignHCenter);
    adjustSize();
}

TformAbout::~TformAbout() = default;

void TformAbout::CentreOver(const QWidget* window) {
    adjustSize();
    const QRect over = window->frameGeometry();
    QRect box(QPoint(0, 0), size());
    box.moveCenter(over.center());
    if (const QScreen* screen = QGuiApplication::screenAt(over.center())) {
        const QRect area = screen->availableGeometry();
        box.moveLeft(
            std::clamp(box.left(), area.left(), std::max(area.left(), area.right() - box.width())));
        box.moveTop(
            std::clamp(box.top(), area.top(), std::max(area.top(), area.bottom() - box.height())));
    }
    move(box.topLeft());
}

void TformAbout::showEvent(QShowEvent* event) {
    TForm::showEvent(event);
    FormShow();
}

void TformAbout::FormShow() {
    aniLogo->Play(1, aniLogo->FrameCount(), 0);
    labelVersion->setText(QStringLiteral("Version ") + rpVersionInfo1->FileVersion());
}

bool TformAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == labelWebpage && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            labelWebpage->rect().contains(mouse->position().toPoint())) {
            labelWebpageClick();
            return true;
        }
    }
    return TForm::eventFilter(watched, event);
}

void TformAbout::labelWebpageClick() {
    // The browser gets the web address itself, never a command line; a
    // failure to open it is silent, as a missing browser is no error of ours.
    QDesktopServices::openUrl(QUrl(QLatin1String(WebAddress)));
}

void TformAbout::paintEvent(QPaintEvent* event) {
    TForm::paintEvent(event);
    // A borderless white box needs an edge of its own against a white
    // window behind it.
    QPainter painter(this);
    painter.setPen(Border);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
