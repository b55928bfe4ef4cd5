// The commands of the menu "Dati associati": the related rows of the current row in the data window.

#include "app/frmMain.h"

#include "app/associatedmenus.h"

void frmMain::BuildAssociatedMenus(const objdb::DataSource *p_objDS, bool p_blnClearOnly)
{
    AssociatedMenus::build(*this, p_blnClearOnly ? nullptr : p_objDS);
}

void frmMain::mnuReferencedItem_Click(int Index)
{
    AssociatedMenus::choose(*this, mnuReferencedItem, Index);
}

void frmMain::mnuRefItem_Click(int Index)
{
    AssociatedMenus::choose(*this, mnuRefItem, Index);
}

void frmMain::mnuContItem_Click(int Index)
{
    AssociatedMenus::choose(*this, mnuContItem, Index);
}
