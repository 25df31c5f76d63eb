#include "tests/common/TestChildren.h"

#include <sys/wait.h>
#include <unistd.h>

#include <climits>

extern char** environ;

std::vector<int> RunTestChildrenAtOnce(const std::string& gtestFilter,
                                       const std::vector<std::vector<std::string>>& extraEnvironments) {
  std::vector<int> codes(extraEnvironments.size(), -1);
  char exe[PATH_MAX] = {};
  if (readlink("/proc/self/exe", exe, sizeof exe - 1) <= 0) return codes;
  std::string filter = "--gtest_filter=" + gtestFilter;
  std::vector<pid_t> children;
  for (const std::vector<std::string>& extra : extraEnvironments) {
    // Everything the child needs is built before fork(): the child only execs.
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    env.insert(env.end(), extra.begin(), extra.end());
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    char* argv[] = {exe, filter.data(), nullptr};
    const pid_t pid = fork();
    if (pid == 0) {
      execve(exe, argv, envp.data());
      _exit(127);
    }
    children.push_back(pid);
  }
  for (std::size_t i = 0; i < children.size(); ++i) {
    int status = 0;
    if (children[i] > 0 && waitpid(children[i], &status, 0) == children[i] && WIFEXITED(status))
      codes[i] = WEXITSTATUS(status);
  }
  return codes;
}
