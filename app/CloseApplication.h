#pragma once

// Ends the application the way the user would: every top-level window is
// asked to close, so a window holding unsaved work (or a running job) can
// ask or refuse. Quits only when all of them closed; returns whether it did.
bool CloseApplication();
