#include "WindowRegistry.h"

#include "CMainFrame.h"

void registerWindowKinds(CMainFrame& /*frame*/)
{
}
