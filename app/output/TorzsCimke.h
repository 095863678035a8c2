// Tfrm_TorzsCimke ("Címkék"): the label layouts (table cimke), to keep and,
// in pick mode, to choose the one labels are printed with. New, edit and
// delete need the reference-data right; choosing does not.
#pragma once

#include "LabelSheet.h"
#include "TemplateList.h"
#include "rptCimke.h"

class Tfrm_TorzsCimke : public TemplateListWindow {
    Q_OBJECT
public:
    explicit Tfrm_TorzsCimke(QWidget* parent = nullptr);

    // Pick mode: "Elfogad" is offered and a double-click accepts.
    void setPickMode(bool on);
    bool pickMode() const { return pick_; }

    QAction* aElfogad;

protected:
    void runEditor() override;

private slots:
    void aElfogadExecute();

private:
    bool pick_ = false;
};

// Opens the layout list on the layout named `name` (letter case ignored).
// In pick mode returns the accepted layout; otherwise, or when the window
// was closed without accepting, a layout with an empty name.
LabelLayout PickLabelLayout(QWidget* owner, const QString& name, bool pick);
