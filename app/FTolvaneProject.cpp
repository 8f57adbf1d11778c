// The project file: reading and writing ".tvp" files, the project commands.

#include "app/FTolvane.h"

bool TTolvane::ReadProject(const QString &)
{
    return false;
}

void TTolvane::WriteProject(const QString &) {}

bool TTolvane::OpenProjectDialog()
{
    return false;
}

void TTolvane::SaveProjectAs() {}
void TTolvane::CopyProjectLayers(const QString &, const QString &) {}
void TTolvane::QuerySaveProject(bool, bool, bool) {}
void TTolvane::nFileNewClick() {}
void TTolvane::nFileOpenClick() {}
void TTolvane::nFileSaveClick() {}
void TTolvane::nFileSaveAsClick() {}
void TTolvane::tbOpenProjectClick() {}
void TTolvane::tbSaveProjectClick() {}
