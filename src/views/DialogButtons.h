#pragma once

#include <QString>

class QDialog;
class QHBoxLayout;

// The right-aligned "确定" / "取消" row of the views' dialogs: OK accepts (its object name given),
// Cancel rejects; Cancel never takes Enter, OK only when okTakesEnter.
[[nodiscard]] QHBoxLayout *OkCancelRow(QDialog &dialog, const QString &okName, bool okTakesEnter);
