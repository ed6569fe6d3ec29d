// The probe's answer as another program wrote it: every count the helper wrote is taken only up
// to its field's bound (at the bound and one past it), a name without its end stops at its field's,
// and nothing of the helper's is taken from a 32-bit program's answer or before it is written.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>

#include "msglog/hook/WindowProbe.h"
#include "properties/ProcedureProbe.h"

namespace {

using namespace properties;

std::unique_ptr<msglog::ProbeMemory> Written() {
  auto memory = std::make_unique<msglog::ProbeMemory>();
  std::memset(static_cast<void*>(memory.get()), 0, sizeof(msglog::ProbeMemory));
  memory->probe.windowProc = 0x140001000ull;
  memory->probe.instance = 0x140000000ull;
  memory->probe.userData = 0xffffffff00000002ull;
  memory->probe.id = 0x100000005ull;
  memory->probe.unicode = 1;
  for (uint32_t i = 0; i < msglog::kMaxProbeModules; ++i) {
    memory->helper.modules[i].base = 0x1000u * (i + 1);
    memory->helper.modules[i].size = 0x1000;
    memory->helper.modules[i].name[0] = L'm';
  }
  for (uint32_t i = 0; i < msglog::kProbeCommandLineChars; ++i) memory->helper.commandLine[i] = L'c';
  memory->helper.written.store(1);
  return memory;
}

TEST(ProcedureProbeTest, TheHelpersCountsAreTakenUpToTheirBoundsOnly) {
  auto memory = Written();
  const struct {
    uint32_t written;
    size_t taken;
  } kModules[] = {{0, 0}, {1, 1}, {msglog::kMaxProbeModules - 1, msglog::kMaxProbeModules - 1},
                  {msglog::kMaxProbeModules, msglog::kMaxProbeModules},
                  {msglog::kMaxProbeModules + 1, msglog::kMaxProbeModules}, {0xffffffffu, msglog::kMaxProbeModules}};
  for (const auto& c : kModules) {
    memory->helper.moduleCount = c.written;
    EXPECT_EQ(ReadProbeAnswer(*memory, true).modules.size(), c.taken) << c.written;
  }
  const struct {
    uint32_t written;
    std::optional<size_t> taken;
  } kLines[] = {{0, 0u}, {msglog::kProbeCommandLineChars, msglog::kProbeCommandLineChars},
                {msglog::kProbeCommandLineChars + 1, msglog::kProbeCommandLineChars},
                {msglog::kNoCommandLine - 1, msglog::kProbeCommandLineChars}, {msglog::kNoCommandLine, std::nullopt}};
  for (const auto& c : kLines) {
    memory->helper.commandLineChars = c.written;
    const ProcedureFacts facts = ReadProbeAnswer(*memory, true);
    ASSERT_EQ(facts.commandLine.has_value(), c.taken.has_value()) << c.written;
    if (c.taken) EXPECT_EQ(facts.commandLine->size(), *c.taken) << c.written;
  }
}

TEST(ProcedureProbeTest, NamesStopAtTheirFieldAndTheHookWritesFullWidthValues) {
  auto memory = Written();
  memory->helper.moduleCount = 2;
  // A name that fills its field, with no end: read to the field's end and no further.
  for (uint32_t i = 0; i < msglog::kProbeModuleNameChars; ++i) memory->helper.modules[0].name[i] = 0x63a2;
  memory->helper.modules[1].name[0] = 0xe9;
  memory->helper.modules[1].name[1] = 0;
  memory->helper.commandLineChars = 3;
  ProcedureFacts facts = ReadProbeAnswer(*memory, true);
  ASSERT_EQ(facts.modules.size(), 2u);
  EXPECT_EQ(facts.modules[0].name, std::wstring(msglog::kProbeModuleNameChars, L'\x63a2'));
  EXPECT_EQ(facts.modules[1].name, L"\u00e9") << "UTF-16 as written";
  EXPECT_EQ(facts.commandLine, std::wstring(L"ccc"));
  EXPECT_EQ(facts.status, ProcedureFacts::Status::kAnswered);
  EXPECT_EQ(facts.windowProc, 0x140001000ull);
  EXPECT_EQ(facts.instance, 0x140000000ull);
  EXPECT_EQ(facts.userData, 0xffffffff00000002ull);
  EXPECT_EQ(facts.id, 0x100000005ull);
  EXPECT_TRUE(facts.unicode);

  // Without a helper, or before it wrote its part: nothing of the helper's.
  facts = ReadProbeAnswer(*memory, false);
  EXPECT_TRUE(facts.modules.empty());
  EXPECT_FALSE(facts.commandLine);
  memory->helper.written.store(0);
  facts = ReadProbeAnswer(*memory, true);
  EXPECT_TRUE(facts.modules.empty());
  EXPECT_FALSE(facts.commandLine);
}

}  // namespace
