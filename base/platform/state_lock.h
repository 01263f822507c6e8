#pragma once
// The lock a walk holds on its state folder, so that a second walk on the same folder is
// refused: an advisory lock on a file in the folder, which the system drops when the process
// holding it dies. The holder writes its process id into the file, so that a refused walk
// can name it. The descriptor is kept from the programs this process starts.
#include <string>

namespace tolvarine::platform {

class StateLock {
 public:
  // TryLock's answer when another open of the file (another process, or another lock in
  // this one) holds it.
  static constexpr int kHeld = -1;

  StateLock() = default;
  ~StateLock();
  StateLock(const StateLock&) = delete;
  StateLock& operator=(const StateLock&) = delete;

  // Takes the lock on the file at path (created when missing, its contents left as they are
  // unless the lock is taken) without waiting. Returns 0 when taken (or already held by this
  // object), kHeld when held elsewhere (holder: the process id its holder wrote, 0 when it
  // has written none yet), or the system's error number when the file cannot be opened or
  // locked.
  int TryLock(const std::string& path, long& holder);
  // Gives the lock up (nothing when none is held). The file stays.
  void Release();
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace tolvarine::platform
