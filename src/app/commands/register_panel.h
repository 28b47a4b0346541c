// The register panel of the shared row (`pRegisters`): one PSR and one GPR,
// each a number field and a value field.  A number field shows the value of
// the register it names; leaving a value field writes that register.
#pragma once

#include <QWidget>
#include <cstdint>

#include "playback/registers.h"

class QLineEdit;

namespace lumora::app {

class RegisterPanel : public QWidget {
    Q_OBJECT
public:
    RegisterPanel(Registers& registers, QWidget* parent = nullptr);

    // The number fields name these registers and show their values.
    void showPsr(std::uint32_t number);
    void showGpr(std::uint32_t number);
    // The registers changed: both value fields show them again.
    void refresh();

    std::uint32_t psrNumber() const { return psrNumber_; }
    std::uint32_t gprNumber() const { return gprNumber_; }

    QLineEdit* iePSRnum;
    QLineEdit* hePSRval;
    QLineEdit* ieGPRnum;
    QLineEdit* heGPRval;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void psrNumberTyped();
    void gprNumberTyped();
    void psrNumberLeft();
    void gprNumberLeft();
    void psrValueLeft();
    void gprValueLeft();

    Registers& registers_;
    std::uint32_t psrNumber_ = 0;
    std::uint32_t gprNumber_ = 0;
};

}  // namespace lumora::app
