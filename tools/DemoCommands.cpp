#include "DemoCommands.h"

#include "BookWriter.h"
#include "DemoBook.h"
#include "data/Errors.h"
#include "platform/Clock.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <limits>

namespace {

const char kUsage[] = "usage: tembrel-db demo FILE [--contacts N] [--force]\n"
                      "  without --contacts: a few dozen contacts with reminders due from today\n"
                      "  --contacts N: a generated book of N contacts and about 3N loans\n"
                      "  --force: replace FILE when it exists\n";

struct DemoOptions {
    QString file;
    int contacts = 0; // 0: the hand-written demo book
    bool force = false;
};

// Reads the arguments; returns an error text, empty when they are fine.
QString parseOptions(const QStringList& arguments, DemoOptions& options)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--force")) {
            options.force = true;
        } else if (argument == QLatin1String("--contacts")) {
            if (++i == arguments.size())
                return QStringLiteral("--contacts needs a number");
            bool ok = false;
            options.contacts = arguments[i].toInt(&ok);
            const int most = std::numeric_limits<int>::max() / 3; // the loans are numbered too
            if (!ok || options.contacts < 1 || options.contacts > most)
                return QStringLiteral("--contacts needs a whole number from 1 to %1, not '%2'")
                    .arg(most)
                    .arg(arguments[i]);
        } else if (argument.startsWith(QLatin1Char('-'))) {
            return QStringLiteral("unknown option '%1'").arg(argument);
        } else if (options.file.isEmpty()) {
            options.file = argument;
        } else {
            return QStringLiteral("unexpected argument '%1'").arg(argument);
        }
    }
    if (options.file.isEmpty())
        return QStringLiteral("FILE is missing");
    return {};
}

} // namespace

int runDemo(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    DemoOptions options;
    const QString problem = parseOptions(arguments, options);
    if (!problem.isEmpty()) {
        err << "tembrel-db demo: " << problem << "\n" << kUsage;
        return 2;
    }
    if (!options.force && QFileInfo::exists(options.file)) {
        err << "tembrel-db: '" << options.file << "' already exists (add --force to replace it)\n";
        return 1;
    }
    try {
        QElapsedTimer timer;
        timer.start();
        BookWriter writer(options.file, options.force);
        if (options.contacts > 0)
            writeGeneratedBook(writer, options.contacts);
        else
            writeDemoBook(writer, Clock::now().date());
        writer.commit();
        out << "Created " << options.file;
        if (options.contacts > 0)
            out << " with " << options.contacts << " contacts and " << qint64(options.contacts) * 3
                << " loans in " << timer.elapsed() << " ms";
        out << "\n";
    } catch (const TembrelError& error) {
        err << "tembrel-db: " << error.message() << "\n";
        return 1;
    }
    return 0;
}
