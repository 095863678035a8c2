// TqrFeladatReszl, "Feladatok listája" (qrFeladatReszl): the task list with
// each task's description, read straight from the main window's task list.
#pragma once

#include "report/Report.h"

class DataSet;
class QWidget;

class TqrFeladatReszl : public report::Report {
public:
    TqrFeladatReszl();

    void prepare(const DataSet& tasks, bool filtered, const QString& subtitle);
};

void PrintTaskDetails(const DataSet& tasks, bool filtered, const QString& subtitle, bool print,
                      QWidget* owner = nullptr);
