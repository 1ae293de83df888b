#include "unit/faults/HeldFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

namespace FaultTest {

// The child takes the lock, says so through one pipe and keeps it until the
// other pipe is closed (or the test program dies).
struct THeldFile::THolder {
  pid_t Child = -1;
  int Release = -1;
};

THeldFile::THeldFile(const std::filesystem::path& AFile) : FHolder(new THolder) {
  int Locked[2], Releasing[2];
  if (pipe(Locked) != 0) throw std::runtime_error("pipe failed");
  if (pipe(Releasing) != 0) {
    close(Locked[0]);
    close(Locked[1]);
    throw std::runtime_error("pipe failed");
  }
  const pid_t Child = fork();
  if (Child == 0) {
    close(Locked[0]);
    close(Releasing[1]);
    const int Fd = open(AFile.c_str(), O_RDWR | O_CREAT, 0666);
    char Byte = (Fd >= 0 && flock(Fd, LOCK_EX) == 0) ? 'L' : 'E';
    (void)!write(Locked[1], &Byte, 1);
    (void)!read(Releasing[0], &Byte, 1);
    _exit(0);
  }
  close(Locked[1]);
  close(Releasing[0]);
  char Byte = 0;
  const bool Held = Child > 0 && read(Locked[0], &Byte, 1) == 1 && Byte == 'L';
  close(Locked[0]);
  FHolder->Child = Child;
  FHolder->Release = Releasing[1];
  if (!Held) {
    Release();
    throw std::runtime_error("the child process could not lock " + AFile.string());
  }
}

THeldFile::~THeldFile() { Release(); }

void THeldFile::Release() noexcept {
  if (FHolder->Release >= 0) close(FHolder->Release);
  FHolder->Release = -1;
  if (FHolder->Child > 0) {
    int Status = 0;
    (void)waitpid(FHolder->Child, &Status, 0);
  }
  FHolder->Child = -1;
}

}  // namespace FaultTest
