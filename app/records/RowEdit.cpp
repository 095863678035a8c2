#include "RowEdit.h"

#include <QDialog>

#include "common/DataSet.h"
#include "common/Interaction.h"
#include "common/Messages.h"

bool StartRow(DataSet& ds, bool isNew, QWidget* owner)
{
    try {
        if (isNew) ds.append();
        else ds.edit();
    } catch (const DbError& e) {
        ShowError("Hiba: " + e.message(), owner);
        return false;
    }
    return true;
}

bool SaveRow(DataSet& ds, QWidget* owner, const QString& duplicateText)
{
    try {
        ds.post();
        if (auto* table = qobject_cast<TableDataSet*>(&ds)) table->flushBuffers();
    } catch (const DbError& e) {
        if (e.code() == engine::ErrorCode::DuplicateKey && !duplicateText.isEmpty()) ShowError(duplicateText, owner);
        else ShowRefusedInput(e.message(), owner);
        return !ds.isEditing();
    }
    return true;
}

void RunRowEditor(QDialog& editor, DataSet& ds)
{
    if (interaction().runModal(editor) != QDialog::Accepted && ds.isEditing()) ds.cancel();
}
