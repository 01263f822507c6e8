#pragma once
// Environment the web engine needs before the application object exists, and the set-up
// of the profile a walk's pages come from.

class QWebEngineProfile;

namespace tolvarine {

// Turns the web engine's sandbox off when running as root (it refuses to start otherwise),
// saying so once on standard error.
void PrepareWebEngine();

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
