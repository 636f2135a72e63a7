#pragma once

#include <CLI/CLI.hpp>
#include <functional>

struct CliContext;

// Each command family adds its subcommands to the parser; the chosen command's action runs
// after parsing and answers the exit code.
using CommandAction = std::function<int()>;

void addSysexCommands(CLI::App& app, CliContext& context, CommandAction& action);
void addDeviceCommands(CLI::App& app, CliContext& context, CommandAction& action);
void addPortCommands(CLI::App& app, CliContext& context, CommandAction& action);
void addTransferCommands(CLI::App& app, CliContext& context, CommandAction& action);
void addFileCommands(CLI::App& app, CliContext& context, CommandAction& action);
void addPlgCommands(CLI::App& app, CliContext& context, CommandAction& action);
void addEsFileCommands(CLI::App& app, CliContext& context, CommandAction& action);
void addYsfcCommands(CLI::App& app, CliContext& context, CommandAction& action);
void addX0vCommands(CLI::App& app, CliContext& context, CommandAction& action);
void addCopyVoiceCommand(CLI::App& app, CliContext& context, CommandAction& action);
