// The clock of the window benchmarks: the median of the rounds, a window
// painted as the screen would, and the time of one step.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace benchtime {

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Paints the whole window, as the screen would.
inline void paint(QWidget& w)
{
    QApplication::processEvents();
    (void)w.grab();
}

// The time `f` takes, in ms.
template <class F>
double timed(F&& f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

}  // namespace benchtime
