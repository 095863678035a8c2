// InputLine: a one-line question built at run time and sized by the average
// character of its font, so it fits whatever font the system gives.
#pragma once

#include <QString>

class QWidget;

// The dialog's objectName, by which scripts find it.
inline constexpr const char* InputLineName = "InputLine";

// `mask` is a QLineEdit input mask; empty for none. True when closed with
// "OK", and only then is `text` replaced. The text is shown in clear.
bool InputLine(const QString& caption, const QString& prompt, const QString& mask, QString& text,
               QWidget* owner = nullptr);
