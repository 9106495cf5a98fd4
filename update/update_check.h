// The update check run once at start-up, before the main window is first shown.
#pragma once

// Fetches the update-info file until a text carries the version field, waiting 2111 ms and telling
// the user after every refetch; the loop has no other way out. A version other than ours leads to
// the download prompt, and the main window is closed whichever the answer: Yes opens the download
// address and ends the program at once; anything else queues the window's destruction and returns.
void UpdateCheck();
