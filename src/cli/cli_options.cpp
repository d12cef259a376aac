#include "cli/cli_options.h"

#include <charconv>
#include <map>

#include "core/engine/known_certificates.h"
#include "core/profile/server_settings.h"

namespace veltrim::cli {
namespace {

struct CommandShape {
  std::size_t minArgs;
  std::size_t maxArgs;
  bool allowsRecursive;
};

const std::map<std::string, CommandShape>& Commands() {
  static const std::map<std::string, CommandShape> commands = {
      {"ls", {0, 1, false}},    {"get", {1, 2, true}},    {"put", {1, 2, true}}, {"mkdir", {1, 1, false}},
      {"rmdir", {1, 1, false}}, {"rm", {1, 1, false}},    {"mv", {2, 2, false}}, {"pwd", {0, 0, false}},
      {"cat", {1, 1, false}},
  };
  return commands;
}

int32_t ParseNumber(const std::string& option, const std::string& text, int32_t low, int32_t high) {
  int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
    throw UsageError{option + " needs a whole number from " + std::to_string(low) + " to " +
                     std::to_string(high) + ", not \"" + text + "\""};
  }
  return value;
}

}  // namespace

const char* UsageText() {
  return "usage: veltrimftp-cli [OPTIONS] TARGET COMMAND [ARGS]\n"
         "  TARGET  a .ftp profile file, or SCHEME://[user[:password]@]host[:port][/dir]\n"
         "          SCHEME: ftpes (TLS required), ftps (implicit TLS, port 990), ftp (plain only)\n"
         "          (no user: anonymous; no password: asked on the terminal)\n"
         "COMMANDS\n"
         "  ls [DIR]                   one line per entry: kind, size, date, name (TAB-separated)\n"
         "  get REMOTE [LOCAL]         download one file\n"
         "  put LOCAL [REMOTE]         upload one file\n"
         "  get -r REMOTEDIR LOCALDIR  download a tree into LOCALDIR/<last component of REMOTEDIR>\n"
         "  put -r LOCALDIR REMOTEDIR  upload the contents of LOCALDIR into REMOTEDIR\n"
         "  mkdir DIR | rmdir DIR | rm FILE | mv OLD NEW | pwd | cat FILE\n"
         "OPTIONS\n"
         "  --ascii | --binary | --auto   transfer type (default --auto)\n"
         "  --second-connection           run transfers on a second connection\n"
         "  --timeout SECONDS  --retries N   as the profile's Timeout and Retries\n"
         "  --tls auto|require|off        TLS for a profile's host without a scheme (default auto:\n"
         "                                when the server offers it)\n"
         "  --fingerprint HEX             accept the certificate with this SHA-256 fingerprint\n"
         "  -v                            the session log on stderr\n";
}

CliOptions ParseCommandLine(const std::vector<std::string>& args) {
  CliOptions options;
  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // Options come before TARGET; after the command only "-r" is an option.
    if (!optionsEnded && positional.empty() && arg.size() > 1 && arg[0] == '-') {
      if (arg == "--") {
        optionsEnded = true;
      } else if (arg == "--ascii") {
        options.mode = TransferMode::Ascii;
      } else if (arg == "--binary") {
        options.mode = TransferMode::Binary;
      } else if (arg == "--auto") {
        options.mode = TransferMode::Auto;
      } else if (arg == "--second-connection") {
        options.secondConnection = true;
      } else if (arg == "-v") {
        options.verbose = true;
      } else if (arg == "--tls" || arg == "--fingerprint") {
        if (i + 1 >= args.size()) throw UsageError{arg + " needs a value"};
        const std::string& value = args[++i];
        if (arg == "--fingerprint") {
          options.fingerprint = NormalizeFingerprint(value);
          if (!options.fingerprint) throw UsageError{"--fingerprint needs 64 hex digits, not \"" + value + "\""};
        } else if (value == "auto" || value == "require" || value == "off") {
          options.tls = value == "auto" ? TlsChoice::Auto : value == "require" ? TlsChoice::Require : TlsChoice::Off;
        } else {
          throw UsageError{"--tls takes auto, require or off, not \"" + value + "\""};
        }
      } else if (arg == "--timeout" || arg == "--retries") {
        if (i + 1 >= args.size()) throw UsageError{arg + " needs a value"};
        const std::string& value = args[++i];
        if (arg == "--timeout") {
          options.timeoutSeconds = ParseNumber(arg, value, kMinTimeoutSeconds, kMaxTimeoutSeconds);
        } else {
          options.retries = ParseNumber(arg, value, kMinRetries, kMaxRetries);
        }
      } else {
        throw UsageError{"unknown option " + arg};
      }
      continue;
    }
    if (positional.size() == 2 && arg == "-r" && !options.recursive) {
      options.recursive = true;
      continue;
    }
    positional.push_back(arg);
  }
  if (positional.empty()) throw UsageError{"no TARGET given"};
  if (positional.size() == 1) throw UsageError{"no COMMAND given"};
  options.target = positional[0];
  options.command = positional[1];
  options.arguments.assign(positional.begin() + 2, positional.end());

  const auto command = Commands().find(options.command);
  if (command == Commands().end()) throw UsageError{"unknown command " + options.command};
  const CommandShape& shape = command->second;
  if (options.recursive && !shape.allowsRecursive) throw UsageError{options.command + " takes no -r"};
  const std::size_t minArgs = options.recursive ? 2 : shape.minArgs;
  const std::size_t count = options.arguments.size();
  if (count < minArgs || count > shape.maxArgs) {
    throw UsageError{"wrong number of arguments for " + options.command + (options.recursive ? " -r" : "")};
  }
  return options;
}

}  // namespace veltrim::cli
