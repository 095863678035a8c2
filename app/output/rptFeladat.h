// TqrFeladat, "Feladatok listája" (qrFeladat): tasks two lines each, read
// straight from the main window's task list as it is filtered and sorted.
// The two detailed task lists share its layout and add the description.
#pragma once

#include "ListReport.h"
#include "report/Report.h"

class DataSet;
class QWidget;

class TqrFeladat : public report::Report {
public:
    TqrFeladat();

    void prepare(const DataSet& tasks, bool filtered, const QString& subtitle);
};

void PrintTaskList(const DataSet& tasks, bool filtered, const QString& subtitle, bool print,
                   QWidget* owner = nullptr);

namespace output {

// The task lists' header, footer and rows over `tasks`; `detailed` adds the
// stretching description under each task.
void SetTaskListLayout(report::Report& r, const DataSet& tasks, const Subtitles& subtitles, bool detailed);

}  // namespace output
