#pragma once

#include <QDialog>

#include <array>

class QComboBox;
class QLineEdit;
class QPushButton;

// Adding a node: a name (at most 12 characters), a type from the list and the extended address
// in four parts of four characters. Each part keeps only 0-9 and a-f as typed; the parts are
// filled in order (typing in a part while an earlier one is short clears it) and a full part
// moves the focus on. OK is enabled only with all 16 characters and closes the dialog only
// through its button; Enter does nothing.
class CNewBeeDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPartLength = 4;
    static constexpr int kParts = 4;

    explicit CNewBeeDlg(QWidget *parent = nullptr);

    [[nodiscard]] QString Name() const;
    [[nodiscard]] QString TypeText() const;
    // The type byte of the chosen text; 0 for an unknown device.
    [[nodiscard]] quint8 TypeCode() const;
    // The four parts joined.
    [[nodiscard]] QString Address() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void OnPartChanged(int part);
    void OnOk();

    QLineEdit *m_name = nullptr;
    QComboBox *m_type = nullptr;
    std::array<QLineEdit *, kParts> m_parts{};
    QPushButton *m_ok = nullptr;
    bool m_filtering = false;
};
