#pragma once

#include "messages/CUserStore.h"

#include <QMessageBox>
#include <QString>

class QLineEdit;
class QWidget;

// Message boxes of the login dialog and the user view, behind an interface so that tests can
// record them instead of blocking on a modal box.
class IAccountPrompt {
public:
    virtual ~IAccountPrompt() = default;
    virtual void Show(QWidget *parent, QMessageBox::Icon icon, const QString &text) = 0;
    // True for yes.
    [[nodiscard]] virtual bool AskYesNo(QWidget *parent, const QString &text) = 0;
};

// The real message boxes, titled with the program's name.
class AccountMessageBoxes final : public IAccountPrompt {
public:
    void Show(QWidget *parent, QMessageBox::Icon icon, const QString &text) override;
    [[nodiscard]] bool AskYesNo(QWidget *parent, const QString &text) override;
};

// The message for a failed user-file operation (damaged file, failed write); empty for the others.
[[nodiscard]] QString UserFileErrorText(UserFileStatus status);

// Keeps a password field to ASCII: every other character is removed as it is typed or pasted and
// the caret stays where it was. Passwords are digested byte by byte, so only ASCII can be typed
// again at the login.
void KeepPasswordAscii(QLineEdit *edit);

// String ids of the user texts.
namespace UserText {
constexpr int kAdministrator = 128;   // "管理员"
constexpr int kOrdinaryUser = 129;    // "普通用户"
constexpr int kWrongPassword = 131;   // "密码错误"
constexpr int kUserName = 211;        // "用户名称"
constexpr int kFileDamaged = 216;     // "错误:文件损坏user.ruf"
constexpr int kConfirmWrong = 217;    // "密码确认错误"
constexpr int kEnterName = 218;       // "请输入名称"
constexpr int kNameExists = 219;      // "用户名已存在"
constexpr int kTooShort = 220;        // "密码太短"
constexpr int kChooseType = 221;      // "请选择用户类型"
constexpr int kUserCreated = 222;     // "成功创建用户"
constexpr int kOldWrong = 223;        // "原密码错误"
constexpr int kPasswordChanged = 224; // "密码更改成功"
constexpr int kUserType = 225;        // "用户类型"
constexpr int kUserDeleted = 227;     // "成功删除用户"
constexpr int kCannotDelete = 232;    // "不能删除用户"
constexpr int kReallyDelete = 233;    // "确定删除用户吗？"
// Captions of the dialogs.
constexpr int kTitle = 17200;
constexpr int kNameLabel = 17201;
constexpr int kPasswordLabel = 17202;
constexpr int kOk = 17203;
constexpr int kCancel = 17204;
constexpr int kCurrentUser = 17205;
constexpr int kCurrentType = 17206;
constexpr int kChangeGroup = 17207;
constexpr int kOldPassword = 17208;
constexpr int kNewPassword = 17209;
constexpr int kConfirmPassword = 17210;
constexpr int kChangeButton = 17211;
constexpr int kAddGroup = 17212;
constexpr int kNewName = 17213;
constexpr int kAddButton = 17214;
constexpr int kDeleteButton = 17215;
constexpr int kListGroup = 17216;
constexpr int kTypeLabel = 17217;
// Texts of the program's own.
constexpr int kWriteFailed = 20500; // the user file could not be written
constexpr int kNameTooLong = 20501; // the name does not fit the 50 bytes of a record
} // namespace UserText
