#pragma once
// Environment the web engine needs before the application object exists, and the set-up
// of the profile a walk's pages come from.
#include <string>

class QWebEngineProfile;

namespace tolvarine {

// Run before the application object exists, in every process that shows or walks pages:
// turns the web engine's sandbox off when running as root (it refuses to start otherwise),
// saying so once on standard error, and adds WalkChromiumFlags to QTWEBENGINE_CHROMIUM_FLAGS.
void PrepareWebEngine();

// The engine's command line with what a walk needs added to the user's own flags, which
// are kept: a page runs its timers at full speed whether it is shown or not (the command
// line never shows its page, and the window may be hidden to the notification area), so
// content that pages add by timers is there when the page is harvested. A feature list the
// user disabled is extended, never replaced.
std::string WalkChromiumFlags(const std::string& userFlags);

// Drops Qt's own debug, information and warning messages (the engine's start-up reports
// of paths, contexts and graphics), which are noise on a console; critical and fatal ones
// still go out. Nothing is dropped when TOLVARINE_VERBOSE is 1.
void QuietQtMessages();

// The HTTP cache of a walk's profile, kept in memory. A walk visits each address once, so
// only what pages share (style sheets, scripts, images of one site) is worth keeping; the
// engine's cache holds about twice its nominal size in the heap.
inline constexpr int kWalkHttpCacheBytes = 1024 * 1024;
// How often a walk's heap is tidied (see SetUpWalkProfile).
inline constexpr int kWalkUpkeepMs = 60 * 1000;

// Sets up an off-the-record profile for a walk: the in-memory HTTP cache above, and an
// upkeep every upkeepMs that hands the heap's free pages back to the system (pages come
// and go by the thousand in a walk, and the allocator otherwise keeps what they free in
// its arenas). The upkeep timer belongs to the profile.
void SetUpWalkProfile(QWebEngineProfile* profile, int upkeepMs = kWalkUpkeepMs);

}  // namespace tolvarine
