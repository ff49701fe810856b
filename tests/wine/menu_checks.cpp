// The menu checks, read from the test's command bars: what the add-in built, which buttons it
// advised, and which built-in commands its handler ran.
#include "tests/wine/menu_checks.h"

#include <string>
#include <vector>

namespace wine_test {
namespace {

struct Item {
  const wchar_t* caption;
  const wchar_t* parameter;
};

constexpr Item kTabBar[] = {
    {L"关闭工作簿(&C)", L"Close"},          {L"保存工作簿(&S)", L"Save"},
    {L"保存所有工作簿(&Y)", L"SaveAll"},    {L"另存为(&A)", L"SaveAs"},
    {L"关闭其它工作簿(&O)", L"CloseOther"}, {L"关闭所有工作簿(&L)", L"CloseAll"},
    {L"打开所在文件夹(&Y)", L"OpenDir"},    {L"Vestrano选项(&O)", L"Option"},
};
constexpr Item kTabBarII[] = {
    {L"新建空白工作簿(&N)", L"New"},
    {L"保存所有工作簿(&Y)", L"SaveAll"},
    {L"关闭所有工作簿(&L)", L"CloseAll"},
    {L"Vestrano选项(&O)", L"Option"},
};

// The bar's items against the expected ones: captions, parameters, the shared Tag, and a
// separator above the last item only.
template <std::size_t N>
void CheckPopup(Checks& checks, FakeCommandBars* bars, const wchar_t* name,
                const Item (&items)[N]) {
  FakeBar* bar = bars->Bar(name);
  const std::string shown = Narrow(name);
  if (!checks.Check(bar != nullptr, Format("the add-in builds the popup \"%s\"", shown.c_str()))) {
    return;
  }
  checks.Check(bar->Position() == 5 && bar->Temporary(),
               Format("\"%s\" is a temporary popup (position 5)", shown.c_str()),
               Format("position %d, temporary %d", bar->Position(), bar->Temporary()));
  const auto& buttons = bar->Buttons();
  std::string wrong;
  for (std::size_t i = 0; i < N && i < buttons.size(); ++i) {
    const auto& button = buttons[i];
    if (button->Caption() != items[i].caption || button->Parameter() != items[i].parameter ||
        button->Tag() != L"MultiWorkBook" || button->BeginGroup() != (i + 1 == N)) {
      wrong += Format(" %zu:%s/%s", i + 1, Narrow(button->Caption()).c_str(),
                      Narrow(button->Parameter()).c_str());
    }
  }
  checks.Check(buttons.size() == N && wrong.empty(),
               Format("\"%s\" has its %zu items in order, tagged MultiWorkBook", shown.c_str(), N),
               Format("%zu items;%s", buttons.size(), wrong.c_str()));
}

}  // namespace

void CheckWorkbookMenus(Checks& checks, IDTExtensibility2* addin, FakeApplication* excel) {
  FakeCommandBars* bars = excel->CommandBars();
  SAFEARRAY* custom = nullptr;
  // Connected twice without a disconnection in between: the second connection replaces the
  // first one's popups instead of failing to add them again.
  addin->OnConnection(excel, kConnectAfterStartup, nullptr, &custom);
  addin->OnConnection(excel, kConnectAfterStartup, nullptr, &custom);
  PumpMessages(100);
  CheckPopup(checks, bars, L"TabBar", kTabBar);
  CheckPopup(checks, bars, L"TabBarII", kTabBarII);
  checks.Check(bars->Sinks() == 1, "the add-in advises one button, which hears all twelve",
               Format("%zu sinks", bars->Sinks()));

  // Items of both popups, each clicked once: the handler runs Excel's built-in command once.
  FakeBar* tab_bar = bars->Bar(L"TabBar");
  FakeBar* strip_bar = bars->Bar(L"TabBarII");
  if (tab_bar && strip_bar && tab_bar->Buttons().size() == 8 && strip_bar->Buttons().size() == 4) {
    struct Click {
      FakeButton* button;
      int command;
      const char* what;
    };
    const Click clicks[] = {{tab_bar->Buttons()[0].Get(), 106, "Close (TabBar item 1)"},
                            {tab_bar->Buttons()[1].Get(), 3, "Save (TabBar item 2)"},
                            {strip_bar->Buttons()[0].Get(), 2520, "New (TabBarII item 1)"}};
    for (const auto& click : clicks) {
      const int before = bars->Executions(click.command);
      bool cancel = true;
      const int heard = bars->Click(click.button, &cancel);
      const int ran = bars->Executions(click.command) - before;
      checks.Check(heard == 1 && ran == 1 && !cancel,
                   Format("a click on %s reaches the handler once, which runs control %d once",
                          click.what, click.command),
                   Format("heard by %d sinks, ran %d times, CancelDefault %d", heard, ran, cancel));
    }
  }

  addin->OnDisconnection(kDisconnectUserClosed, &custom);
  PumpMessages(100);
  checks.Check(!bars->Bar(L"TabBar") && !bars->Bar(L"TabBarII"),
               "disconnection deletes \"TabBar\" and \"TabBarII\"");
  checks.Check(bars->Sinks() == 0, "disconnection unadvises the add-in's button",
               Format("%zu sinks", bars->Sinks()));
}

}  // namespace wine_test
