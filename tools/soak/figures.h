// The figures the soak records once a minute, and how their trend is judged: a least-squares
// slope per hour over the minutes after the warm-up. Portable, so the host tests check it.
#pragma once

#include <string>
#include <vector>

namespace tl::soak {

struct Figures {
  int minute = 0;
  double handles = 0, gdi = 0, user = 0, windows = 0, privateKb = 0, workingSetKb = 0;
};

struct Trend {
  std::string name;
  bool answered = false;  // some minute gave a figure other than 0
  double first = 0, last = 0, perHour = 0;
  double tolerance = 0;   // growth per hour that still counts as steady
  bool grows = false;
};

// The minutes whose figures are left out of the trend: five, or a third of a shorter run.
int WarmUpMinutes(int minutes);

// Least-squares slope of y over x; 0 for fewer than two distinct x.
double Slope(const std::vector<double>& x, const std::vector<double>& y);

// One trend per figure over the minutes from `from` on. Counts may grow by less than one per
// hour, memory by less than 1 MB per hour; a figure never answered (0 throughout) does not grow.
std::vector<Trend> TrendsFrom(const std::vector<Figures>& figures, int from);

// Prints one line per trend; answers whether none grows.
bool PrintTrends(const std::vector<Trend>& trends, int from);

}  // namespace tl::soak
