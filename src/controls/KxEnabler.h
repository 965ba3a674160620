#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Enables or disables one container together with its direct child
// controls in one assignment. Each control is set through its own rules
// (EnabledControl.h): composite controls keep their panel enabled and
// indicators light up or go dark. Grandchildren are not visited, and
// windows parented to the container are not touched.
class TKxEnabler : public QObject {
    Q_OBJECT
public:
    explicit TKxEnabler(QObject* owner = nullptr);
    ~TKxEnabler() override;

    // The container driven; forgotten when it is destroyed.
    QWidget* Parent() const { return FParent; }
    void SetParent(QWidget* container) { FParent = container; }
    // Default true. Writing it sets the container and then each direct child
    // control, in child order; without a container only the flag changes.
    bool RelativesEnabled() const { return FRelativesEnabled; }
    void SetRelativesEnabled(bool enabled);

private:
    QPointer<QWidget> FParent;
    bool FRelativesEnabled = true;
};
