#include "app/entry.hpp"

#include "app/procedures.hpp"
#include "runtime/runtime.hpp"

namespace {

// The oldest runtime the program runs on: version 1.50 in the high bits.
constexpr long MINIMUM_VERSION = 0x01500000L;

rt::ProcedureEntry procedure(const char* name, int parameters,
                             std::function<rt::Value(const std::vector<rt::Value>&)> call) {
    return {name, parameters, std::move(call)};
}

rt::Value argument(const std::vector<rt::Value>& args, std::size_t i) {
    return i < args.size() ? args[i] : rt::NIL;
}

rt::StartRecord startRecord() {
    using rt::NIL;
    using rt::Value;
    using Args = const std::vector<Value>&;
    rt::StartRecord record;
    record.modules = {
        {"backup job",
         prepareBackupJobConstants,
         {procedure("MAIN", 0,
                    [](Args) {
                        MAIN();
                        return NIL;
                    }),
          procedure("KOPIEREN", 1, [](Args a) { return KOPIEREN(argument(a, 0)); })}},
        {"application window",
         prepareAppSysConstants,
         {procedure("APPSYS", 0,
                    [](Args) {
                        APPSYS();
                        return NIL;
                    })}},
        {"application exit",
         prepareAppExitConstants,
         {procedure("APPEXIT", 0,
                    [](Args) {
                        APPEXIT();
                        return NIL;
                    })}},
        {"database engines",
         prepareDbeSysConstants,
         {procedure("DBESYS", 0,
                    [](Args) {
                        DBESYS();
                        return NIL;
                    })}},
        {"error system",
         prepareErrorSysConstants,
         {procedure("ERRORSYS", 0,
                    [](Args) {
                        ERRORSYS();
                        return NIL;
                    }),
          procedure("LINESPLIT", 2,
                    [](Args a) { return LINESPLIT(argument(a, 0), argument(a, 1)); })}},
    };
    record.parameters[0] = 2000000;
    record.parameters[1] = 167772160;
    record.parameters[2] = 1;
    record.registerExit = [] { rt::setExitProcedure(APPEXIT); };
    record.startup = {ERRORSYS, DBESYS, APPSYS};
    record.main = MAIN;
    record.exit = APPEXIT;
    record.initHook = rt::initialisationHook();
    return record;
}

} // namespace

int entry(VersionQuery versionQuery) {
    if ((versionQuery() & ~0xFFL) < MINIMUM_VERSION) {
        return 999;
    }
    rt::This_executable_needs_version_1_70_0();
    return rt::start(startRecord());
}
