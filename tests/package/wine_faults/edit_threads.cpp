// A fault of Wine's own, shown without any code of ours: four threads that each create EDIT windows, write a text
// into them and destroy them, at the same moment, crash Wine 8 inside its text layout, with a shared font, a font
// for each thread or no font at all. Controls created in tight loops on several threads meet it through their text
// boxes. This program tells whether the Wine in use still has the fault: it ends with a page fault if so, with 0
// if every thread finished its rounds.
#include <windows.h>

#include <cstdio>
#include <thread>
#include <vector>

namespace {

constexpr int kThreads = 4;
constexpr int kRounds = 2000;

void MakeAndDestroyEdits() {
  for (int round = 0; round < kRounds; ++round) {
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 200, 20, nullptr, nullptr, nullptr, nullptr);
    SetWindowTextW(edit, L"31/01/2027");
    DestroyWindow(edit);
  }
}

}  // namespace

int main() {
  std::vector<std::thread> threads;
  for (int thread = 0; thread < kThreads; ++thread) threads.emplace_back(MakeAndDestroyEdits);
  for (std::thread& thread : threads) thread.join();
  std::printf("%d threads made and destroyed %d EDIT windows each\n", kThreads, kRounds);
  return 0;
}
