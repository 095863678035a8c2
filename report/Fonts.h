// The faces reports are printed in. Reports ask for Tahoma, Arial, Courier
// New and Times New Roman by name; where the machine lacks them, free faces
// with the same letter widths stand in (Wine's Tahoma, Liberation Sans, Mono
// and Serif), so that a line breaks at the same word on every machine.
#pragma once

#include <QString>

// Registers the faces and the name mapping once; needs a QGuiApplication.
void RegisterReportFonts();

// The family that a design name is printed in on this machine.
QString PrintedFamily(const QString& designName);
