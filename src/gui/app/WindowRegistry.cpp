#include "WindowRegistry.h"

#include "CMainFrame.h"
#include "library/Import.h"

void registerWindowKinds(CMainFrame& frame)
{
    frame.setCommandHandler(CommandId::Import, [] { runImportCommand(); });
}
