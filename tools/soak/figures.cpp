#include "tools/soak/figures.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>

namespace tl::soak {

int WarmUpMinutes(int minutes) { return minutes >= 15 ? 5 : minutes / 3; }

double Slope(const std::vector<double>& x, const std::vector<double>& y) {
  const size_t n = x.size() < y.size() ? x.size() : y.size();
  if (n < 2) return 0;
  double meanX = 0, meanY = 0;
  for (size_t i = 0; i < n; ++i) {
    meanX += x[i] / n;
    meanY += y[i] / n;
  }
  double covariance = 0, variance = 0;
  for (size_t i = 0; i < n; ++i) {
    covariance += (x[i] - meanX) * (y[i] - meanY);
    variance += (x[i] - meanX) * (x[i] - meanX);
  }
  return variance > 0 ? covariance / variance : 0;
}

std::vector<double> LevelReached(const std::vector<double>& values) {
  std::vector<double> level;
  for (size_t i = 0; i < values.size(); ++i) {
    const size_t from = i < 2 ? 0 : i - 2, to = std::min(values.size(), i + 3);
    std::vector<double> around(values.begin() + static_cast<std::ptrdiff_t>(from),
                               values.begin() + static_cast<std::ptrdiff_t>(to));
    std::nth_element(around.begin(), around.begin() + static_cast<std::ptrdiff_t>(around.size() / 2), around.end());
    const double median = around[around.size() / 2];
    level.push_back(level.empty() ? median : std::max(level.back(), median));
  }
  return level;
}

std::vector<Trend> TrendsFrom(const std::vector<Figures>& figures, int from) {
  struct Kind {
    const char* name;
    double Figures::*field;
    double tolerance;
  };
  static const Kind kKinds[] = {
      {"handles", &Figures::handles, 1},           {"GDI objects", &Figures::gdi, 1},
      {"USER objects", &Figures::user, 1},         {"windows", &Figures::windows, 1},
      {"private KB", &Figures::privateKb, 1024},   {"working set KB", &Figures::workingSetKb, 1024},
  };
  std::vector<Trend> trends;
  for (const Kind& kind : kKinds) {
    Trend trend{kind.name};
    trend.tolerance = kind.tolerance;
    std::vector<double> minutes, values;
    for (const Figures& f : figures) {
      trend.answered = trend.answered || f.*kind.field != 0;
      if (f.minute < from) continue;
      minutes.push_back(f.minute);
      values.push_back(f.*kind.field);
    }
    if (!values.empty()) {
      trend.first = values.front();
      trend.last = values.back();
    }
    trend.perHour = Slope(minutes, values) * 60;
    trend.levelPerHour = Slope(minutes, LevelReached(values)) * 60;
    trend.grows = trend.answered && trend.perHour > trend.tolerance && trend.levelPerHour > trend.tolerance;
    trends.push_back(trend);
  }
  return trends;
}

bool PrintTrends(const std::vector<Trend>& trends, int from) {
  bool steady = true;
  std::printf("\ntrend from minute %d on (least squares; growing when both slopes are over the limit):\n", from);
  for (const Trend& t : trends) {
    if (!t.answered) {
      std::printf("  %-15s not answered (0 every minute)\n", t.name.c_str());
      continue;
    }
    std::printf("  %-15s %10.0f -> %10.0f, slope %+9.1f per hour, level reached %+9.1f per hour (steady below %+.0f): %s\n",
                t.name.c_str(), t.first, t.last, t.perHour, t.levelPerHour, t.tolerance, t.grows ? "GROWS" : "steady");
    steady = steady && !t.grows;
  }
  return steady;
}

}  // namespace tl::soak
