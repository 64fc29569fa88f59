#pragma once
// Moved: the new path is <tavixTGCL2/views/XItemCollEdit.h>. Kept so that hosts written
// against the old path still compile.
#include <tavixTGCL2/views/XItemCollEdit.h>
