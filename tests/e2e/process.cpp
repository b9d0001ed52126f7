#include "e2e/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace tablemend::e2e {

namespace {

[[noreturn]] void RunChild(const std::vector<std::string>& command,
                           const std::string& workingDirectory, int outputPipe, int errorPipe) {
  const int nothing = open("/dev/null", O_RDONLY);
  if (nothing < 0 || dup2(nothing, 0) < 0 || dup2(outputPipe, 1) < 0 || dup2(errorPipe, 2) < 0 ||
      chdir(workingDirectory.c_str()) != 0) {
    _exit(127);
  }
  std::vector<char*> arguments;
  for (const std::string& word : command) {
    arguments.push_back(const_cast<char*>(word.c_str()));
  }
  arguments.push_back(nullptr);
  execvp(arguments[0], arguments.data());
  std::perror(arguments[0]);
  _exit(127);
}

// Reads both pipes until the child closes them, so a chatty child never blocks on a full pipe.
void CollectOutput(pid_t child, int outputPipe, int errorPipe,
                   const std::function<bool()>& killWhen, ProcessResult& result) {
  pollfd pipes[2] = {{outputPipe, POLLIN, 0}, {errorPipe, POLLIN, 0}};
  std::string* targets[2] = {&result.output, &result.errorOutput};
  int open = 2;
  char buffer[65536];
  bool killed = false;
  while (open > 0) {
    if (killWhen && !killed && killWhen()) {
      kill(child, SIGKILL);
      killed = true;
    }
    if (poll(pipes, 2, killWhen && !killed ? 1 : -1) < 0) {
      if (errno == EINTR) {
        continue;
      }
      return;
    }
    for (int index = 0; index < 2; ++index) {
      if (pipes[index].fd < 0 || pipes[index].revents == 0) {
        continue;
      }
      const ssize_t count = read(pipes[index].fd, buffer, sizeof buffer);
      if (count > 0) {
        targets[index]->append(buffer, static_cast<std::size_t>(count));
      } else if (count == 0 || errno != EINTR) {
        close(pipes[index].fd);
        pipes[index].fd = -1;
        --open;
      }
    }
  }
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& command,
                         const std::string& workingDirectory,
                         const std::function<bool()>& killWhen) {
  ProcessResult result;
  int outputPipe[2];
  int errorPipe[2];
  if (pipe(outputPipe) != 0 || pipe(errorPipe) != 0) {
    result.errorOutput = "cannot make pipes";
    return result;
  }
  const pid_t child = fork();
  if (child == 0) {
    close(outputPipe[0]);
    close(errorPipe[0]);
    RunChild(command, workingDirectory, outputPipe[1], errorPipe[1]);
  }
  close(outputPipe[1]);
  close(errorPipe[1]);
  if (child < 0) {
    close(outputPipe[0]);
    close(errorPipe[0]);
    result.errorOutput = "cannot fork";
    return result;
  }
  CollectOutput(child, outputPipe[0], errorPipe[0], killWhen, result);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFSIGNALED(status)) {
    result.killedBySignal = true;
    result.signalNumber = WTERMSIG(status);
  } else {
    result.exitStatus = WEXITSTATUS(status);
  }
  return result;
}

}  // namespace tablemend::e2e
