#include "app/StatMgr.h"

#include "laser/CVLaser.h"

#include <QLabel>

#include <exception>

namespace {

QString IntText(int value) {
    return value >= 0 ? QString::number(value) : QStringLiteral("N/A");
}

void SetPanel(QLabel* panel, const QString& prefix, const QString& value) {
    if (panel)
        panel->setText(prefix + value);
}

} // namespace

TStatMgr::~TStatMgr() {
    RemovePanels();
}

void TStatMgr::RemovePanels() {
    for (QLabel* panel : {FShots.data(), FHours.data(), FFlow.data(), FTemperature.data()}) {
        if (!panel)
            continue;
        if (FStatusBar)
            FStatusBar->removeWidget(panel);
        delete panel;
    }
    FShots = nullptr;
    FHours = nullptr;
    FFlow = nullptr;
    FTemperature = nullptr;
}

QLabel* TStatMgr::AddPanel(int width) {
    auto* panel = new QLabel(FStatusBar);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    // The widths are the least a panel takes; a larger font widens it.
    panel->setMinimumWidth(width);
    FStatusBar->addWidget(panel);
    return panel;
}

void TStatMgr::Setup(TCVLaser* laser, QStatusBar* statusBar) {
    RemovePanels();
    FLaser = laser;
    FStatusBar = statusBar;
    FCounter = 0;
    if (FLaser && FStatusBar && FLaser->Identified()) {
        FShots = AddPanel(ShotsWidth);
        if (FLaser->GetHours() >= 0)
            FHours = AddPanel(HoursWidth);
        if (FLaser->GetFlow() >= 0)
            FFlow = AddPanel(FlowWidth);
        if (FLaser->GetTemperature() >= 0)
            FTemperature = AddPanel(TemperatureWidth);
    }
    UpdateAll();
}

void TStatMgr::UpdateAll() {
    UpdateShots();
    UpdateHours();
    UpdateFlow();
    UpdateTemperature();
}

void TStatMgr::UpdateNext() {
    FCounter %= 4;
    switch (FCounter) {
    case 0:
        UpdateShots();
        break;
    case 1:
        UpdateHours();
        break;
    case 2:
        UpdateFlow();
        break;
    default:
        UpdateTemperature();
        break;
    }
    ++FCounter;
}

void TStatMgr::UpdateShots() {
    if (!FShots || !FLaser)
        return;
    // The shot counter raises where the other read-outs give -1: an error
    // or garbage in reply to "SC" shows as unavailable, not as a message box
    // every fourth poll tick.
    float shots = -1.0f;
    try {
        shots = FLaser->GetShotCount();
    } catch (const std::exception&) {
        shots = -1.0f;
    }
    SetPanel(FShots, QStringLiteral(" Shots: "),
             shots >= 0 ? QString::number(double(shots), 'g', 15) : QStringLiteral("N/A"));
}

void TStatMgr::UpdateHours() {
    if (FHours && FLaser)
        SetPanel(FHours, QStringLiteral(" Hours: "), IntText(FLaser->GetHours()));
}

void TStatMgr::UpdateFlow() {
    if (FFlow && FLaser)
        SetPanel(FFlow, QStringLiteral(" Flow: "), IntText(FLaser->GetFlow()));
}

void TStatMgr::UpdateTemperature() {
    if (FTemperature && FLaser)
        SetPanel(FTemperature, QStringLiteral(" Temp: "), IntText(FLaser->GetTemperature()));
}
