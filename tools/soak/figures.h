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
  double first = 0, last = 0;
  double perHour = 0;       // least-squares slope of the figures
  double levelPerHour = 0;  // least-squares slope of the level reached (see LevelReached)
  double tolerance = 0;     // growth per hour that still counts as steady
  bool grows = false;       // both slopes above the tolerance
};

// The minutes whose figures are left out of the trend: five, or a third of a shorter run.
int WarmUpMinutes(int minutes);

// Least-squares slope of y over x; 0 for fewer than two distinct x.
double Slope(const std::vector<double>& x, const std::vector<double>& y);

// The level a figure has reached by each minute: the running maximum of the median of five
// minutes around it. A leak raises it; memory given back for a while and taken again, or one
// minute's spike, does not, though either tilts a least-squares line through the figures.
std::vector<double> LevelReached(const std::vector<double>& values);

// One trend per figure over the minutes from `from` on. Counts may grow by less than one per
// hour, memory by less than 1 MB per hour. A figure grows when both its slope and the slope of
// its level reached are above that: a leak lifts both, while a stretch of memory given back
// tilts only the first and noise lifts only the second. A figure never answered (0 throughout)
// does not grow.
std::vector<Trend> TrendsFrom(const std::vector<Figures>& figures, int from);

// Prints one line per trend; answers whether none grows.
bool PrintTrends(const std::vector<Trend>& trends, int from);

}  // namespace tl::soak
