// Test-only automation classes for the host's tests, registered under test.* ProgIDs:
//   test.Probe  with OnStartPage/OnEndPage (recorded in pageEvents()), Echo, TypeOf, Make,
//               Fail, Tidy (trims its by-reference argument), WriteRows, a Name property, a
//               keyed default member Item, Rendezvous, and Bag: a collection ("a", "b", 3) with
//               Count, a 1-based default Item and enumeration, or with an index its item
//   test.Plain  without page events
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "automation/registry.h"

namespace host_test {

// "start <id>", "end <id>", "context <ok|missing>" in the order they happened.
std::vector<std::string> pageEvents();
void clearPageEvents();

// Registers test.Probe and test.Plain.
void registerTestClasses(automation::ClassRegistry& registry);

// Makes Rendezvous(parties, ms) meet across threads: true when `parties` callers were inside
// at the same time before the time ran out.
void resetRendezvous();
// Joins the rendezvous from a test's own thread.
bool rendezvous(int parties, int milliseconds);
// How many callers wait in the rendezvous now: pages known to be running.
int insideRendezvous();

}  // namespace host_test
