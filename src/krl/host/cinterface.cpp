#include "krl/host/cinterface.h"

#include "krl/variant/text.h"

#include <array>
#include <cctype>

#include "krl/ado/ado.h"
#include "krl/host/frame_access.h"
#include "krl/host/global.h"
#include "krl/host/menu_entry.h"
#include "krl/host/navigator.h"

namespace krl::host {

namespace {

constexpr long ArgumentNotOptional = 449;

const Variant& argument(const VariantArray& args) {
    if (args.empty()) {
        krl::err::raise(ArgumentNotOptional, "Argomento non facoltativo");
    }
    return args.front();
}

template <class T>
std::shared_ptr<T> objectArgument(const VariantArray& args) {
    ObjectPtr object = argument(args).object();
    if (!object) {
        return nullptr;
    }
    auto typed = std::dynamic_pointer_cast<T>(object);
    if (!typed) {
        krl::err::typeMismatch();
    }
    return typed;
}

Variant longValue(std::int32_t value) {
    return Variant(value);
}

using Invoker = Variant (*)(Cinterface&, VariantArray&);

struct Binding {
    DispatchMember member;
    Invoker invoke;
};

constexpr MemberKind Put = MemberKind::Put;
constexpr MemberKind Get = MemberKind::Get;
constexpr MemberKind Call = MemberKind::Call;

// clang-format off
const std::array<Binding, 52> bindings = {{
    {{"ClsGlobal", Put, 1}, [](Cinterface& c, VariantArray& a) { c.setClsGlobal(objectArgument<ClsGlobal>(a)); return Variant(); }},
    {{"ClsGlobal", Get, 2}, [](Cinterface& c, VariantArray&) { return Variant(ObjectPtr(c.clsGlobal())); }},
    {{"ActiveFrame", Put, 3}, [](Cinterface& c, VariantArray& a) { c.setActiveFrame(objectArgument<FrameAccess>(a)); return Variant(); }},
    {{"ActiveFrame", Get, 4}, [](Cinterface& c, VariantArray&) { return Variant(ObjectPtr(c.activeFrame())); }},
    {{"ActiveNavigator", Put, 5}, [](Cinterface& c, VariantArray& a) { c.setActiveNavigator(objectArgument<Navigator>(a)); return Variant(); }},
    {{"ActiveNavigator", Get, 6}, [](Cinterface& c, VariantArray&) { return Variant(ObjectPtr(c.activeNavigator())); }},
    {{"ActiveDll", Put, 7}, [](Cinterface& c, VariantArray& a) { c.setActiveDll(objectArgument<Cinterface>(a)); return Variant(); }},
    {{"ActiveDll", Get, 8}, [](Cinterface& c, VariantArray&) { return Variant(ObjectPtr(c.activeDll())); }},
    {{"StatusBar", Put, 9}, [](Cinterface& c, VariantArray& a) { c.setStatusBar(argument(a).object()); return Variant(); }},
    {{"StatusBar", Get, 10}, [](Cinterface& c, VariantArray&) { return Variant(c.statusBar()); }},
    {{"CanInsert", Put, 11}, [](Cinterface& c, VariantArray& a) { c.setCanInsert(argument(a).toBool()); return Variant(); }},
    {{"CanInsert", Get, 12}, [](Cinterface& c, VariantArray&) { return Variant(c.canInsert()); }},
    {{"CanDelete", Put, 13}, [](Cinterface& c, VariantArray& a) { c.setCanDelete(argument(a).toBool()); return Variant(); }},
    {{"CanDelete", Get, 14}, [](Cinterface& c, VariantArray&) { return Variant(c.canDelete()); }},
    {{"CanUpdate", Put, 15}, [](Cinterface& c, VariantArray& a) { c.setCanUpdate(argument(a).toBool()); return Variant(); }},
    {{"CanUpdate", Get, 16}, [](Cinterface& c, VariantArray&) { return Variant(c.canUpdate()); }},
    {{"CanQbe", Put, 17}, [](Cinterface& c, VariantArray& a) { c.setCanQbe(argument(a).toBool()); return Variant(); }},
    {{"CanQbe", Get, 18}, [](Cinterface& c, VariantArray&) { return Variant(c.canQbe()); }},
    {{"WindowState", Put, 19}, [](Cinterface& c, VariantArray& a) { c.setWindowState(argument(a).toInt32()); return Variant(); }},
    {{"WindowState", Get, 20}, [](Cinterface& c, VariantArray&) { return longValue(c.windowState()); }},
    {{"WindowModal", Put, 21}, [](Cinterface& c, VariantArray& a) { c.setWindowModal(argument(a).toBool()); return Variant(); }},
    {{"WindowModal", Get, 22}, [](Cinterface& c, VariantArray&) { return Variant(c.windowModal()); }},
    {{"ProgramMode", Put, 23}, [](Cinterface& c, VariantArray& a) { c.setProgramMode(argument(a).toInt32()); return Variant(); }},
    {{"ProgramMode", Get, 24}, [](Cinterface& c, VariantArray&) { return longValue(c.programMode()); }},
    {{"MenuModulo", Put, 25}, [](Cinterface& c, VariantArray& a) { c.setMenuModulo(argument(a)); return Variant(); }},
    {{"MenuModulo", Get, 26}, [](Cinterface& c, VariantArray&) { return c.menuModulo(); }},
    {{"MenuPadre", Put, 27}, [](Cinterface& c, VariantArray& a) { c.setMenuPadre(argument(a)); return Variant(); }},
    {{"MenuPadre", Get, 28}, [](Cinterface& c, VariantArray&) { return c.menuPadre(); }},
    {{"MenuProg", Put, 29}, [](Cinterface& c, VariantArray& a) { c.setMenuProg(argument(a)); return Variant(); }},
    {{"MenuProg", Get, 30}, [](Cinterface& c, VariantArray&) { return c.menuProg(); }},
    {{"Caption", Put, 31}, [](Cinterface& c, VariantArray& a) { c.setCaption(argument(a)); return Variant(); }},
    {{"Caption", Get, 32}, [](Cinterface& c, VariantArray&) { return c.caption(); }},
    {{"hwndParent", Put, 33}, [](Cinterface& c, VariantArray& a) { c.setHwndParent(argument(a).toInt32()); return Variant(); }},
    {{"hwndParent", Get, 34}, [](Cinterface& c, VariantArray&) { return longValue(c.hwndParent()); }},
    {{"ShowForm", Call, 35}, [](Cinterface& c, VariantArray&) { return c.showForm(); }},
    {{"CloseForm", Call, 36}, [](Cinterface& c, VariantArray&) { return c.closeForm(); }},
    {{"Connection", Put, 37}, [](Cinterface& c, VariantArray& a) { c.setConnection(objectArgument<krl::ado::Connection>(a)); return Variant(); }},
    {{"Connection", Get, 38}, [](Cinterface& c, VariantArray&) { return Variant(ObjectPtr(c.connection())); }},
    {{"Cwindow", Get, 39}, [](Cinterface& c, VariantArray&) { return Variant(c.cwindow()); }},
    {{"TransferData", Call, 40}, [](Cinterface& c, VariantArray& a) { (void)argument(a); return c.transferData(a.front()); }},
    {{"Top", Get, 41}, [](Cinterface& c, VariantArray&) { return c.top(); }},
    {{"Top", Put, 42}, [](Cinterface& c, VariantArray& a) { c.setTop(argument(a)); return Variant(); }},
    {{"Left", Get, 43}, [](Cinterface& c, VariantArray&) { return c.left(); }},
    {{"Left", Put, 44}, [](Cinterface& c, VariantArray& a) { c.setLeft(argument(a)); return Variant(); }},
    {{"ClsVoceMenu", Put, 45}, [](Cinterface& c, VariantArray& a) { c.setClsVoceMenu(objectArgument<MenuEntry>(a)); return Variant(); }},
    {{"ClsVoceMenu", Get, 46}, [](Cinterface& c, VariantArray&) { return Variant(ObjectPtr(c.clsVoceMenu())); }},
    {{"IsActive", Put, 47}, [](Cinterface& c, VariantArray& a) { c.setIsActive(argument(a).toBool()); return Variant(); }},
    {{"IsActive", Get, 48}, [](Cinterface& c, VariantArray&) { return Variant(c.isActive()); }},
    {{"IsCalled", Put, 49}, [](Cinterface& c, VariantArray& a) { c.setIsCalled(argument(a).toBool()); return Variant(); }},
    {{"IsCalled", Get, 50}, [](Cinterface& c, VariantArray&) { return Variant(c.isCalled()); }},
    {{"Filtro", Put, 51}, [](Cinterface& c, VariantArray& a) { c.setFiltro(argument(a)); return Variant(); }},
    {{"Filtro", Get, 52}, [](Cinterface& c, VariantArray&) { return c.filtro(); }},
}};
// clang-format on

const std::array<DispatchMember, bindings.size()> members = [] {
    std::array<DispatchMember, bindings.size()> list{};
    for (std::size_t i = 0; i < bindings.size(); ++i) {
        list[i] = bindings[i].member;
    }
    return list;
}();

}  // namespace

std::span<const DispatchMember> cinterfaceMembers() {
    return members;
}

Variant invoke(Cinterface& target, std::string_view name, MemberKind kind, VariantArray& args) {
    for (const Binding& binding : bindings) {
        if (binding.member.kind == kind && krl::sameText(binding.member.name, name)) {
            return binding.invoke(target, args);
        }
    }
    krl::err::raise(krl::err::ObjectDoesNotSupport,
                    "Proprietà o metodo non supportati dall'oggetto", std::string(name));
}

}  // namespace krl::host
