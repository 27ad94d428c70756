// The null backend of the toolkit (null_window.cpp): no window system at all. Windows are
// records in memory and the message queue is whatever a test puts into it, so the toolkit's
// portable logic, the event loop among it, runs under the test's control. The null backend
// keeps a journal of what the toolkit asked of it, in order.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform_toolkit.h"

// Queues a message (mNative is left null) or the quit request, as the window system would.
void NullQueueMessage(TWindowHandle ParaWindow, uint32_t ParaMessage);
void NullQueueQuit();
// Runs when the loop waits for a message, in place of blocking; it should queue something.
void NullSetOnWait(std::function<void()> ParaOnWait);
// Runs when a taken message is dispatched.
void NullSetOnDispatch(std::function<void(const TMsg&)> ParaOnDispatch);

// The journal: "dispatch <message>", "wait", "box <text>", "fatal <text>", "create",
// "destroy", "quit requested".
const std::vector<std::string>& NullJournal();
void NullClearJournal();
// Adds an entry of the test's own, so its steps stand in the same order as the loop's doings.
void NullNote(const std::string& ParaEntry);
