// Prints the one table of scripts/bench from the JSON of velmora_bench
// (Google Benchmark's --benchmark_out) and of velmora_startup. Either file
// may be missing; its rows are then left out.
//
// usage: velmora_bench_report <bench.json|-> <startup.json|->

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

namespace {

constexpr double KiB = 1024.0;
constexpr double MiB = 1024.0 * 1024.0;

// One measured case of velmora_bench.
struct Case {
    double seconds = 0;         // real (or manual) time per iteration
    double bytesPerSecond = 0;
    std::optional<double> ratio;  // to the machine's limit, when measured
    QJsonObject raw;
};

using Cases = QMap<QString, QMap<qint64, Case>>;  // name -> size -> case

double toSeconds(double value, const QString &unit)
{
    if (unit == QLatin1String("ns"))
        return value / 1e9;
    if (unit == QLatin1String("us"))
        return value / 1e6;
    if (unit == QLatin1String("ms"))
        return value / 1e3;
    return value;
}

std::optional<QJsonObject> readJson(const QString &path)
{
    if (path == QLatin1String("-"))
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    if (!doc.isObject())
        return std::nullopt;
    return doc.object();
}

Cases readCases(const QJsonObject &root)
{
    Cases cases;
    for (const QJsonValue &v : root.value(QLatin1String("benchmarks")).toArray()) {
        const QJsonObject b = v.toObject();
        if (b.value(QLatin1String("run_type")).toString() != QLatin1String("iteration"))
            continue;
        if (b.contains(QLatin1String("error_occurred")) && b.value(QLatin1String("error_occurred")).toBool())
            continue;
        const QStringList parts = b.value(QLatin1String("name")).toString().split(u'/');
        const QString name = parts.value(0);
        bool numeric = false;
        const qint64 size = parts.size() > 1 ? parts[1].toLongLong(&numeric) : 0;
        Case c;
        c.seconds = toSeconds(b.value(QLatin1String("real_time")).toDouble(),
                              b.value(QLatin1String("time_unit")).toString());
        c.bytesPerSecond = b.value(QLatin1String("bytes_per_second")).toDouble();
        if (b.contains(QLatin1String("ratio")))
            c.ratio = b.value(QLatin1String("ratio")).toDouble();
        c.raw = b;
        cases[name][numeric ? size : 0] = c;
    }
    return cases;
}

QString sizeText(qint64 bytes)
{
    if (bytes <= 0)
        return QStringLiteral("-");
    if (bytes >= MiB)
        return QStringLiteral("%1 MiB").arg(double(bytes) / MiB, 0, 'g', 4);
    if (bytes >= KiB)
        return QStringLiteral("%1 KiB").arg(double(bytes) / KiB, 0, 'g', 4);
    return QStringLiteral("%1 B").arg(bytes);
}

QString timeText(double seconds)
{
    if (seconds < 1e-3)
        return QStringLiteral("%1 µs").arg(seconds * 1e6, 0, 'f', 1);
    if (seconds < 1.0)
        return QStringLiteral("%1 ms").arg(seconds * 1e3, 0, 'f', seconds < 0.01 ? 2 : 1);
    return QStringLiteral("%1 s").arg(seconds, 0, 'f', 3);
}

QString rateText(double bytesPerSecond)
{
    if (bytesPerSecond <= 0)
        return QStringLiteral("-");
    return QStringLiteral("%1 MiB/s").arg(bytesPerSecond / MiB, 0, 'f', bytesPerSecond < 10 * MiB ? 2 : 0);
}

QString ratioText(std::optional<double> ratio)
{
    return ratio ? QStringLiteral("%1x").arg(*ratio, 0, 'f', 2) : QStringLiteral("-");
}

QString metText(bool met)
{
    return met ? QStringLiteral("met") : QStringLiteral("**missed**");
}

struct Row {
    QString benchmark, size, time, throughput, ratio, target, result;
};

class Table {
public:
    void add(Row row)
    {
        if (row.result == QLatin1String("met"))
            ++m_met;
        else if (row.result.contains(QLatin1String("missed")))
            ++m_missed;
        m_rows.append(std::move(row));
    }

    void print(QTextStream &out) const
    {
        const QStringList head = {QStringLiteral("benchmark"), QStringLiteral("size"),
                                  QStringLiteral("time"), QStringLiteral("throughput"),
                                  QStringLiteral("ratio to limit"), QStringLiteral("target"),
                                  QStringLiteral("met/missed")};
        QList<QStringList> lines;
        lines.append(head);
        for (const Row &r : m_rows)
            lines.append({r.benchmark, r.size, r.time, r.throughput, r.ratio, r.target, r.result});
        QList<qsizetype> widths(head.size(), 0);
        for (const QStringList &l : lines)
            for (qsizetype i = 0; i < l.size(); ++i)
                widths[i] = std::max(widths[i], l[i].size());
        auto printLine = [&](const QStringList &l) {
            out << u'|';
            for (qsizetype i = 0; i < l.size(); ++i)
                out << u' ' << l[i].leftJustified(widths[i]) << QStringLiteral(" |");
            out << u'\n';
        };
        printLine(lines.first());
        out << u'|';
        for (qsizetype w : widths)
            out << QString(w + 2, u'-') << u'|';
        out << u'\n';
        for (qsizetype i = 1; i < lines.size(); ++i)
            printLine(lines[i]);
        out << u'\n' << QStringLiteral("Targets met: %1, missed: %2.").arg(m_met).arg(m_missed) << u'\n';
    }

    int missed() const { return m_missed; }

private:
    QList<Row> m_rows;
    int m_met = 0;
    int m_missed = 0;
};

// Linear: from 10 MiB to 40 MiB the cost per byte grows at most 2x (a
// quadratic step would make it 4x). 1 MiB is not the reference: it still
// fits the caches and the allocator's reused memory, so 10 MiB costs more
// per byte than 1 MiB even for a plain copy.
constexpr double linearLimit = 2.0;

std::optional<double> perByteGrowth(const QMap<qint64, Case> &sizes)
{
    const auto small = sizes.find(qint64(10 * MiB));
    const auto large = sizes.find(qint64(40 * MiB));
    if (small == sizes.end() || large == sizes.end() || small->seconds <= 0)
        return std::nullopt;
    return (large->seconds / 4.0) / small->seconds;
}

// Rows of a benchmark over 1 KiB, 1 MiB, 10 MiB, 40 MiB. The target is
// judged on the 10 MiB row: linearity always, plus an optional limit.
void addGrowing(Table &table, const Cases &cases, const QString &name, const QString &label,
                const QString &extraTarget, const std::function<bool(const Case &)> &extraMet,
                bool judged = true)
{
    const auto it = cases.find(name);
    if (it == cases.end())
        return;
    const std::optional<double> growth = perByteGrowth(*it);
    for (auto s = it->begin(); s != it->end(); ++s) {
        Row r{label, sizeText(s.key()), timeText(s->seconds), rateText(s->bytesPerSecond),
              ratioText(s->ratio), QStringLiteral("-"), QStringLiteral("-")};
        if (s.key() == qint64(10 * MiB) && judged) {
            QString target = QStringLiteral("linear");
            bool met = growth && *growth <= linearLimit;
            if (growth)
                target += QStringLiteral(" (per byte at 40 MiB: %1x)").arg(*growth, 0, 'f', 2);
            if (!extraTarget.isEmpty()) {
                target += QStringLiteral("; ") + extraTarget;
                met = met && extraMet(*s);
            }
            r.target = target;
            r.result = metText(met);
        } else if (s.key() == qint64(10 * MiB) && growth) {
            r.target = QStringLiteral("(per byte at 40 MiB: %1x)").arg(*growth, 0, 'f', 2);
        } else if (s.key() == qint64(40 * MiB) && judged) {
            r.target = QStringLiteral("(linearity check)");
        }
        table.add(r);
    }
}

double median(QList<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

QList<double> numbers(const QJsonObject &o, const char *key)
{
    QList<double> out;
    for (const QJsonValue &v : o.value(QLatin1String(key)).toArray())
        out.append(v.toDouble());
    return out;
}

void addStartup(Table &table, const QJsonObject &root)
{
    const QJsonObject v = root.value(QLatin1String("velmora")).toObject();
    const QJsonObject m = root.value(QLatin1String("minimal")).toObject();
    const int runs = root.value(QLatin1String("runs")).toInt();
    const QString runsText = QStringLiteral("median of %1").arg(runs);

    const double vSplash = median(numbers(v, "start_to_splash_painted_ms"));
    const double mWindow = median(numbers(m, "start_to_window_painted_ms"));
    table.add({QStringLiteral("start-up to splash shown (velmora)"), runsText,
               timeText(vSplash / 1e3), QStringLiteral("-"),
               ratioText(mWindow > 0 ? std::optional<double>(vSplash / mWindow) : std::nullopt),
               QStringLiteral("<= 1.25x minimal Qt program"),
               metText(mWindow > 0 && vSplash / mWindow <= 1.25)});
    table.add({QStringLiteral("start-up to window shown (minimal Qt program)"), runsText,
               timeText(mWindow / 1e3), QStringLiteral("-"), QStringLiteral("(the limit)"),
               QStringLiteral("-"), QStringLiteral("-")});

    const QList<double> toMain = numbers(v, "splash_to_main_painted_ms");
    const double lo = toMain.isEmpty() ? 0 : *std::min_element(toMain.begin(), toMain.end());
    const double hi = toMain.isEmpty() ? 0 : *std::max_element(toMain.begin(), toMain.end());
    table.add({QStringLiteral("splash shown to frmMain shown"),
               QStringLiteral("%1; min %2, max %3").arg(runsText, timeText(lo / 1e3), timeText(hi / 1e3)),
               timeText(median(toMain) / 1e3), QStringLiteral("-"), QStringLiteral("-"),
               QStringLiteral("2.0 to 2.15 s, every run"),
               metText(!toMain.isEmpty() && lo >= 2000.0 && hi <= 2150.0)});

    const double vRss = median(numbers(v, "rss_kb"));
    const double mRss = median(numbers(m, "rss_kb"));
    table.add({QStringLiteral("resident memory after hand-over (VmRSS)"), runsText,
               QStringLiteral("%1 MiB").arg(vRss / 1024, 0, 'f', 1), QStringLiteral("-"),
               ratioText(mRss > 0 ? std::optional<double>(vRss / mRss) : std::nullopt),
               QStringLiteral("<= 1.3x minimal Qt program"), metText(mRss > 0 && vRss / mRss <= 1.3)});
    table.add({QStringLiteral("resident memory (minimal Qt program)"), runsText,
               QStringLiteral("%1 MiB").arg(mRss / 1024, 0, 'f', 1), QStringLiteral("-"),
               QStringLiteral("(the limit)"), QStringLiteral("-"), QStringLiteral("-")});

    const QJsonObject idle = root.value(QLatin1String("idle")).toObject();
    const double cpu = idle.value(QLatin1String("utime_stime_ms")).toDouble();
    const double runtime = idle.value(QLatin1String("runtime_ms")).toDouble();
    table.add({QStringLiteral("CPU while idle on frmMain (utime+stime)"),
               QStringLiteral("%1 s").arg(idle.value(QLatin1String("seconds")).toInt()),
               QStringLiteral("%1 ms").arg(cpu, 0, 'f', 0), QStringLiteral("-"), QStringLiteral("-"),
               QStringLiteral("< 10 ms (scheduler: %1 ms)").arg(runtime, 0, 'f', 2),
               metText(cpu < 10.0)});
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    if (argc < 3) {
        QTextStream(stderr) << "usage: velmora_bench_report <bench.json|-> <startup.json|->\n";
        return 2;
    }
    Table table;
    const std::optional<QJsonObject> bench = readJson(QString::fromLocal8Bit(argv[1]));
    const std::optional<QJsonObject> startup = readJson(QString::fromLocal8Bit(argv[2]));
    if (!bench && !startup) {
        QTextStream(stderr) << "velmora_bench_report: no results to report\n";
        return 1;
    }
    if (bench) {
        const Cases cases = readCases(*bench);
        const auto none = [](const Case &) { return true; };
        const auto within = [](double limit) {
            return [limit](const Case &c) { return c.ratio && *c.ratio < limit; };
        };
        const auto under = [](double seconds) {
            return [seconds](const Case &c) { return c.seconds < seconds; };
        };
        addGrowing(table, cases, QStringLiteral("BM_ReadmeLayout"),
                   QStringLiteral("readme layout (readmeBytes)"), {}, none);
        addGrowing(table, cases, QStringLiteral("BM_LayoutAndWrite"),
                   QStringLiteral("layout + writeFileAtomically"), QStringLiteral("< 3x plain write"),
                   within(3.0));
        addGrowing(table, cases, QStringLiteral("BM_WriteAtomically"),
                   QStringLiteral("writeFileAtomically alone"), {}, none, false);
        addGrowing(table, cases, QStringLiteral("BM_PlainWriteSync"),
                   QStringLiteral("limit: write() + fdatasync()"), {}, none, false);
        if (cases.contains(QStringLiteral("BM_ReadPresets_OneRecord"))) {
            const Case &c = cases[QStringLiteral("BM_ReadPresets_OneRecord")].first();
            table.add({QStringLiteral("ReadPresets, one record"),
                       sizeText(qint64(c.raw.value(QLatin1String("bytes_per_second")).toDouble()
                                       * c.seconds + 0.5)),
                       timeText(c.seconds), rateText(c.bytesPerSecond), ratioText(c.ratio),
                       QStringLiteral("-"), QStringLiteral("-")});
        }
        addGrowing(table, cases, QStringLiteral("BM_ReadPresets"),
                   QStringLiteral("ReadPresets, hand-made file"), QStringLiteral("< 100 ms"),
                   under(0.1));
        addGrowing(table, cases, QStringLiteral("BM_ParsePresets"),
                   QStringLiteral("parsePresets alone"), {}, none, false);
        addGrowing(table, cases, QStringLiteral("BM_ReadWholeFile_Cp1252"),
                   QStringLiteral("ReadWholeFile, Windows-1252"), QStringLiteral("< 100 ms"),
                   under(0.1));
        addGrowing(table, cases, QStringLiteral("BM_ReadWholeFile_Utf8"),
                   QStringLiteral("ReadWholeFile, UTF-8"), QStringLiteral("< 100 ms"), under(0.1));
        addGrowing(table, cases, QStringLiteral("BM_PlainRead"), QStringLiteral("limit: read()"), {},
                   none, false);
        const auto viewer = cases.find(QStringLiteral("BM_Viewer"));
        if (viewer != cases.end()) {
            for (auto s = viewer->begin(); s != viewer->end(); ++s) {
                Row r{QStringLiteral("viewer: Another... to first page"), sizeText(s.key()),
                      timeText(s->seconds), rateText(s->bytesPerSecond), QStringLiteral("-"),
                      QStringLiteral("-"), QStringLiteral("-")};
                if (s.key() == qint64(10 * MiB)) {
                    r.target = QStringLiteral("< 1 s");
                    r.result = metText(s->seconds < 1.0);
                } else if (s.key() == qint64(50 * MiB)) {
                    r.target = QStringLiteral("< 5 s");
                    r.result = metText(s->seconds < 5.0);
                }
                table.add(r);
            }
        }
    }
    if (startup)
        addStartup(table, *startup);
    table.print(out);

    // Not a target: where the viewer's time goes, step by step.
    if (bench) {
        const Cases cases = readCases(*bench);
        const auto steps = cases.find(QStringLiteral("BM_ViewerSteps"));
        if (steps != cases.end()) {
            out << "\nViewer, step by step (mean per step):\n";
            for (auto s = steps->begin(); s != steps->end(); ++s) {
                const auto step = [&](const char *key) {
                    return timeText(s->raw.value(QLatin1String(key)).toDouble());
                };
                out << QStringLiteral("  %1: ReadWholeFile %2, toLf %3, setPlainText %4, first page %5\n")
                           .arg(sizeText(s.key()), step("read_decode_s"), step("to_lf_s"),
                                step("set_plain_text_s"), step("first_page_s"));
            }
        }
    }
    out.flush();
    return 0;
}
