#pragma once

// Database > Connect: asks for the user name and password until a connect and the test of
// the mount history table succeed, or the user cancels. True when connected.
bool runConnectCommand();

// Database > Disconnect: asks first; Yes clears the connected flag. True when disconnected.
bool runDisconnectCommand();
