#include "controls/KxFormManager.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>
#include <stdexcept>

TFormData::TFormData(TFormVariable variable, TCloseEvent managerClose)
    : FVariable(std::move(variable)), FForm(FVariable.Get()) {
    if (FForm) {
        FSavedClose = FForm->OnClose();
        FForm->SetOnClose(std::move(managerClose));
    }
}

TFormData::~TFormData() {
    if (FReleased)
        return;
    if (FForm)
        FForm->SetOnClose(FSavedClose);
    FVariable.Clear();
}

void TFormData::Release() {
    if (FForm && !FReleased)
        FForm->SetOnClose(FSavedClose);
    FReleased = true;
}

TKxFormManager::TKxFormManager(QObject* owner) : QObject(owner) {}

TKxFormManager::~TKxFormManager() {
    for (auto& record : FList)
        record->Release();
}

void TKxFormManager::Register(const TFormVariable& variable) {
    FList.push_back(std::make_unique<TFormData>(
        variable, [this](QObject* sender, TCloseAction& action) { FormClose(sender, action); }));
}

int TKxFormManager::ShowFormImpl(const TFormVariable& variable,
                                 const std::function<TForm*()>& create, quint8 showMode) {
    TForm* form = variable.Get();
    if (!form) {
        form = create();
        Register(variable);
    } else {
        const bool known = std::any_of(FList.begin(), FList.end(), [&](const auto& record) {
            return record->Variable().Address == variable.Address;
        });
        if (!known)
            Register(variable);
    }
    QPointer<TForm> window(form);
    switch (showMode) {
    case 0:
        if (window->isVisible())
            window->hide();
        return window->ShowModal();
    case 1:
        if (window->isVisible())
            window->raise();
        window->show();
        return 0;
    case 2:
        window->show();
        // Waits for events rather than spinning, and stops as soon as the
        // window is closed or hidden.
        while (window && variable.Get() == window && window->isVisible())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return 0;
    default:
        return 0;
    }
}

void TKxFormManager::FormClose(QObject* sender, TCloseAction& action) {
    const auto found = std::find_if(FList.begin(), FList.end(), [&](const auto& record) {
        return record->Variable().Get() == sender;
    });
    if (found == FList.end()) {
        const QString name = sender ? sender->objectName() : QString();
        throw std::runtime_error("Form \"" + name.toStdString() +
                                 "\" not found in form manager list");
    }
    action = caFree;
    // A copy: the record may go while the window's own handler runs.
    const TCloseEvent saved = (*found)->SavedClose();
    if (saved)
        saved(sender, action);
    if (action == caFree) {
        // Look again: the saved handler may have changed the list.
        const auto again = std::find_if(FList.begin(), FList.end(), [&](const auto& record) {
            return record->Variable().Get() == sender;
        });
        if (again != FList.end())
            FList.erase(again);
    }
}
