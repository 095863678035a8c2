// The main window's four lists as they are defined: the company and product
// tables, the customer and task queries with their texts, keys, labels and
// formats, and the task list's start filter (unfinished tasks only). The
// main window makes its lists with these, and so do the reports that run
// without it (the command-line report tool), so both show the same rows
// under the same labels.
#pragma once

class QueryDataSet;
class TableDataSet;

namespace lists {

void SetupCompanyTable(TableDataSet* ds);    // ceg.DB
void SetupCustomerQuery(QueryDataSet* ds);   // ends "ORDER BY 1;"
void SetupTaskQuery(QueryDataSet* ds);       // ends "ORDER BY feladat.feladat;", filter on
void SetupProductTable(TableDataSet* ds);    // termek.DB

}  // namespace lists
