#include "app/StatMgr.h"

#include <QLabel>

namespace {

struct TPanelInfo {
    const char* Prefix;
    int Width;
};

const std::array<TPanelInfo, TReadouts::Count> Panels = {{
    {" Shots: ", TStatMgr::ShotsWidth},
    {" Hours: ", TStatMgr::HoursWidth},
    {" Flow: ", TStatMgr::FlowWidth},
    {" Temp: ", TStatMgr::TemperatureWidth},
}};

} // namespace

TStatMgr::~TStatMgr() {
    RemovePanels();
}

void TStatMgr::RemovePanels() {
    for (QPointer<QLabel>& panel : FPanels) {
        if (!panel)
            continue;
        if (FStatusBar)
            FStatusBar->removeWidget(panel);
        delete panel.data();
        panel = nullptr;
    }
}

void TStatMgr::Setup(const TReadouts* readouts, QStatusBar* statusBar) {
    RemovePanels();
    FReadouts = readouts;
    FStatusBar = statusBar;
    if (!FReadouts || !FStatusBar)
        return;
    for (int kind = 0; kind < TReadouts::Count; ++kind) {
        if (!FReadouts->Present(TReadouts::TKind(kind)))
            continue;
        auto* panel = new QLabel(FStatusBar);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        // The widths are the least a panel takes; a larger font widens it.
        panel->setMinimumWidth(Panels[kind].Width);
        FStatusBar->addWidget(panel);
        FPanels[kind] = panel;
    }
    ShowAll();
}

void TStatMgr::ShowAll() {
    for (int kind = 0; kind < TReadouts::Count; ++kind)
        Show(TReadouts::TKind(kind));
}

void TStatMgr::Show(TReadouts::TKind kind) {
    QLabel* panel = FPanels[kind];
    if (!panel || !FReadouts)
        return;
    const double value = FReadouts->Value(kind);
    // Shots in general form with up to 15 digits, the others as integers.
    const QString text = value < 0                    ? QStringLiteral("N/A")
                         : kind == TReadouts::rkShots ? QString::number(value, 'g', 15)
                                                      : QString::number(qint64(value));
    panel->setText(QLatin1String(Panels[kind].Prefix) + text);
}
