#include "timing.h"

#include <QElapsedTimer>
#include <algorithm>

double median(QList<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples.at(samples.size() / 2);
}

double elapsedMs(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

int benchRuns(qint64 payments, int usual)
{
    bool ok = false;
    const int asked = qEnvironmentVariableIntValue("BENCH_RUNS", &ok);
    if (ok && asked > 0)
        return asked;
    return payments >= 1000000 ? 3 : usual;
}
