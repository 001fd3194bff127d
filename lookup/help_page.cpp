#include "lookup/help_page.h"

#include "app/shell.h"

// The view loads pages embedded in an executable through res://<file name>/<resource name>.
Text HelpPageAddress() { return JoinTexts("res://", ProgramFileName(), "/HELP.HTML"); }
