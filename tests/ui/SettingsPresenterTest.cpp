#include "ui/SettingsPresenter.h"

#include "core/Settings.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace halvik::ui {

using testing_support::TestEnvironment;

namespace {

constexpr std::array<SettingsBox, 5> kBoxes{SettingsBox::Check1, SettingsBox::Check2, SettingsBox::Check3,
                                            SettingsBox::Check7, SettingsBox::Check8};
constexpr std::array<core::settings::Key, 5> kBoxSettings{core::settings::Key::RunOnStartup,
                                                          core::settings::Key::LogFile, core::settings::Key::Quarintine,
                                                          core::settings::Key::IExplore,
                                                          core::settings::Key::LoadAdMonitor};

// The dialog's controls as plain values; what the logic applies is recorded in order.
class FakeView : public SettingsView {
 public:
  bool isTicked(SettingsBox box) const override { return ticked[static_cast<std::size_t>(box)]; }
  void setTicked(SettingsBox box, bool on) override { ticked[static_cast<std::size_t>(box)] = on; }
  std::optional<PeriodOption> selectedPeriod() const override { return selected; }
  void selectPeriod(PeriodOption option) override { selected = option; }
  void setMonitorPeriod(int milliseconds) override { applied.push_back("period " + std::to_string(milliseconds)); }
  void closeDialog() override { applied.push_back("close"); }

  void tickAll(bool on) { ticked.fill(on); }

  std::array<bool, 5> ticked{};
  std::optional<PeriodOption> selected = PeriodOption::Option2;
  std::vector<std::string> applied;
};

class SettingsPresenterTest : public testing::Test {
 protected:
  ~SettingsPresenterTest() override {
    // Leaves no start-up entry behind (on Windows it is a value of the machine's Run key).
    view.tickAll(false);
    logic.save();
  }

  std::string stored(core::settings::Key key) const { return core::settings::read(key); }

  TestEnvironment locations;
  FakeView view;
  SettingsPresenter logic{view};
};

TEST_F(SettingsPresenterTest, LoadTicksABoxOnlyForAnExactOne) {
  for (const char* value : {"1", "0", " 1", "1 ", "oui", ""}) {
    SCOPED_TRACE(value);
    for (const auto key : kBoxSettings) ASSERT_TRUE(core::settings::write(key, value));
    const bool expected = std::string(value) == "1";
    view.tickAll(!expected);
    logic.load();
    for (SettingsBox box : kBoxes) EXPECT_EQ(view.isTicked(box), expected);
  }
}

TEST_F(SettingsPresenterTest, LoadSelectsThePeriodOrNormal) {
  const std::pair<const char*, PeriodOption> cases[] = {
      {nullptr, PeriodOption::Option2}, {"10000", PeriodOption::Option1}, {"5000", PeriodOption::Option2},
      {"3000", PeriodOption::Option3},  {"1000", PeriodOption::Option4},  {"2000", PeriodOption::Option2},
      {"1000 ", PeriodOption::Option2}};
  for (const auto& [value, option] : cases) {
    SCOPED_TRACE(value ? value : "absent");
    if (value) {
      ASSERT_TRUE(core::settings::write(core::settings::Key::AdMonitorRefresh, value));
    }
    view.selected = PeriodOption::Option3;  // what an earlier opening left selected, then cancelled
    logic.load();
    EXPECT_EQ(view.selected, option);
  }
}

TEST_F(SettingsPresenterTest, SaveStoresEachBoxUnderItsOwnKeyThenAppliesThePeriodAndCloses) {
  const std::pair<PeriodOption, const char*> periods[] = {{PeriodOption::Option1, "10000"},
                                                          {PeriodOption::Option2, "5000"},
                                                          {PeriodOption::Option3, "3000"},
                                                          {PeriodOption::Option4, "1000"},
                                                          {PeriodOption::Option1, "10000"}};
  for (std::size_t ticked = 0; ticked < kBoxes.size(); ++ticked) {
    SCOPED_TRACE(ticked);
    view.tickAll(false);
    view.setTicked(kBoxes[ticked], true);
    view.selected = periods[ticked].first;
    view.applied.clear();
    logic.save();
    for (std::size_t i = 0; i < kBoxSettings.size(); ++i) EXPECT_EQ(stored(kBoxSettings[i]), i == ticked ? "1" : "0");
    EXPECT_EQ(stored(core::settings::Key::AdMonitorRefresh), periods[ticked].second);
    EXPECT_EQ(view.applied, (std::vector<std::string>{std::string("period ") + periods[ticked].second, "close"}));
  }
}

TEST_F(SettingsPresenterTest, UnknownStoredValuesOpenAsDefaultsAndAreReplacedAtSave) {
  ASSERT_TRUE(core::settings::write(core::settings::Key::AdMonitorRefresh, "2000"));
  ASSERT_TRUE(core::settings::write(core::settings::Key::LogFile, "toujours"));
  logic.load();
  EXPECT_FALSE(view.isTicked(SettingsBox::Check2));
  logic.save();
  EXPECT_EQ(stored(core::settings::Key::AdMonitorRefresh), "5000");
  EXPECT_EQ(stored(core::settings::Key::LogFile), "0");
  EXPECT_EQ(view.applied, (std::vector<std::string>{"period 5000", "close"}));
}

}  // namespace

}  // namespace halvik::ui
