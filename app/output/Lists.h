// The main window's four lists as they are defined: the company and product
// tables, the customer and task queries with their texts, keys, labels and
// formats, and the task list's start filter (unfinished tasks only). The
// main window makes its lists with these, and so do the reports that run
// without it (the command-line report tool), so both show the same rows
// under the same labels.
#pragma once

#include <QStringList>

#include <initializer_list>

class QueryDataSet;
class TableDataSet;

namespace lists {

// The tables a task refers to, each with the columns that name its row.
enum class TaskRef { Customer, Product, State, Priority, Kind, Result, Company };

// The lines of a task query up to its WHERE: every column of feladat, then
// the naming columns of `refs` in their order, and a LEFT OUTER JOIN of each
// of those tables in the same order, so that a task that refers to no row
// of one still shows. The caller adds its WHERE and ORDER BY.
QStringList TaskSelect(std::initializer_list<TaskRef> refs);

// The main window's task query, in task order.
QStringList TaskQuery();

void SetupCompanyTable(TableDataSet* ds);    // ceg.DB
void SetupCustomerQuery(QueryDataSet* ds);   // ends "ORDER BY 1;"
void SetupTaskQuery(QueryDataSet* ds);       // ends "ORDER BY feladat.feladat;", filter on
void SetupProductTable(TableDataSet* ds);    // termek.DB

}  // namespace lists
