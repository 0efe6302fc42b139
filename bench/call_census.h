// What a host asks of a control: every QueryInterface made of it, and the calls a host makes to create, show and
// destroy it, each counted and timed. The census patches the method tables of the control's class (which all its
// objects share) while it lives, so that the host's own code is measured as it runs.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <string>
#include <vector>

namespace marelco::bench {

class CallCensus {
 public:
  struct Call {
    std::string name;  // "QueryInterface IOleObject", "IOleObject::DoVerb", ...
    int count = 0;
    double seconds = 0;  // including the calls it made in turn
  };

  // Watches the objects of sample's class, asked here for the interfaces hosts ask controls for, and calls to
  // CreateInstance of their class object. One census at a time.
  CallCensus(IClassFactory* classObject, IUnknown* sample);
  ~CallCensus();
  CallCensus(const CallCensus&) = delete;
  CallCensus& operator=(const CallCensus&) = delete;

  // The calls since the last Clear, in the order first made.
  const std::vector<Call>& calls() const { return calls_; }
  void Clear() { calls_.clear(); }

  // Called by the patched methods.
  void Record(const std::string& name, double seconds);
  void Watch(IUnknown* object, REFIID iid);  // patches the methods of iid in object's table

 private:
  std::vector<Call> calls_;
};

}  // namespace marelco::bench
