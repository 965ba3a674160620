#include "ClientOptions.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr double MaxTimeoutSeconds = 86400.0;

bool ParseSeconds(const char* text, std::int64_t& milliseconds) {
    if (text == nullptr || *text == '\0')
        return false;
    char* end = nullptr;
    const double seconds = std::strtod(text, &end);
    if (*end != '\0' || !std::isfinite(seconds) || seconds < 0 || seconds > MaxTimeoutSeconds)
        return false;
    milliseconds = std::llround(seconds * 1000.0);
    return true;
}

} // namespace

TClientOptions ParseClientOptions(int argc, const char* const* argv) {
    TClientOptions options;
    bool optionsEnded = false;
    for (int i = 0; i < argc; ++i) {
        const char* arg = argv[i];
        if (!optionsEnded && std::strcmp(arg, "--") == 0) {
            optionsEnded = true;
        } else if (!optionsEnded &&
                   (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0)) {
            options.ShowHelp = true;
        } else if (!optionsEnded && std::strcmp(arg, "--timeout") == 0) {
            const char* value = i + 1 < argc ? argv[++i] : nullptr;
            if (!ParseSeconds(value, options.TimeoutMs))
                options.Error =
                    QStringLiteral("--timeout needs a number of seconds from 0 to 86400");
        } else if (!optionsEnded && std::strncmp(arg, "--timeout=", 10) == 0) {
            if (!ParseSeconds(arg + 10, options.TimeoutMs))
                options.Error =
                    QStringLiteral("--timeout needs a number of seconds from 0 to 86400");
        } else if (!optionsEnded && arg[0] == '-' && arg[1] == '-') {
            options.Error = QStringLiteral("unknown option %1").arg(QString::fromLocal8Bit(arg));
        } else {
            options.Commands.append(QByteArray(arg));
        }
    }
    if (options.Error.isEmpty() && !options.ShowHelp && options.Commands.isEmpty())
        options.Error = QStringLiteral("no command given");
    return options;
}
