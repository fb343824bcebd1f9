#include "krl/host/cinterface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "krl/host/global.h"
#include "krl/host/host_interface.h"
#include "krl/host/menu_entry.h"
#include "krl/host/navigator.h"

namespace krl::host {
namespace {

long errorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const VbError& error) {
        return error.number();
    }
    return 0;
}

TEST(CinterfaceDispatch, MembersComeInTheHostsCallingOrder) {
    // The host binds by position: a member moved, missing or with get and put swapped calls the
    // wrong code.
    const std::string expected =
        "put:ClsGlobal get:ClsGlobal put:ActiveFrame get:ActiveFrame put:ActiveNavigator "
        "get:ActiveNavigator put:ActiveDll get:ActiveDll put:StatusBar get:StatusBar "
        "put:CanInsert get:CanInsert put:CanDelete get:CanDelete put:CanUpdate get:CanUpdate "
        "put:CanQbe get:CanQbe put:WindowState get:WindowState put:WindowModal get:WindowModal "
        "put:ProgramMode get:ProgramMode put:MenuModulo get:MenuModulo put:MenuPadre "
        "get:MenuPadre put:MenuProg get:MenuProg put:Caption get:Caption put:hwndParent "
        "get:hwndParent call:ShowForm call:CloseForm put:Connection get:Connection get:Cwindow "
        "call:TransferData get:Top put:Top get:Left put:Left put:ClsVoceMenu get:ClsVoceMenu "
        "put:IsActive get:IsActive put:IsCalled get:IsCalled put:Filtro get:Filtro";
    std::string actual;
    int position = 0;
    for (const DispatchMember& member : cinterfaceMembers()) {
        const char* kind = member.kind == MemberKind::Put   ? "put:"
                           : member.kind == MemberKind::Get ? "get:"
                                                            : "call:";
        actual += (actual.empty() ? "" : " ") + (kind + std::string(member.name));
        EXPECT_EQ(member.dispId, ++position) << member.name;
    }
    EXPECT_EQ(actual, expected);
}

TEST(CinterfaceDispatch, LateBoundCallsReachTheMembers) {
    HostProgramInterface target;
    auto global = std::make_shared<ClsGlobal>();
    auto navigator = std::make_shared<Navigator>();
    auto menu = std::make_shared<MenuEntry>(Variant(std::int32_t{77}), "Parametri di gestione",
                                            "DUZA_ZOVRENA.CLSPD_ZOVRENA");
    struct Case {
        const char* name;
        Variant value;
    };
    const Case cases[] = {
        {"ClsGlobal", Variant(ObjectPtr(global))},
        {"activenavigator", Variant(ObjectPtr(navigator))},  // names in any case
        {"ClsVoceMenu", Variant(ObjectPtr(menu))},
        {"CanInsert", Variant(false)},
        {"WindowState", Variant(std::int32_t{2})},
        {"Caption", Variant("Parametri")},
        {"MenuModulo", Variant::null()},
        {"hwndParent", Variant(std::int32_t{4242})},
        {"Left", Variant(std::int32_t{-15})},
        {"IsCalled", Variant(true)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        VariantArray args{c.value};
        EXPECT_TRUE(invoke(target, c.name, MemberKind::Put, args).isEmpty());
        VariantArray none;
        EXPECT_TRUE(invoke(target, c.name, MemberKind::Get, none).identical(c.value))
            << invoke(target, c.name, MemberKind::Get, none).describe();
    }
    EXPECT_EQ(target.clsGlobal(), global);
    EXPECT_EQ(target.hwndParent(), 4242);
}

TEST(CinterfaceDispatch, RefusesWhatTheMemberCannotTake) {
    HostProgramInterface target;
    auto navigator = std::make_shared<Navigator>();
    VariantArray notAGlobal{Variant(ObjectPtr(navigator))};
    VariantArray text{Variant("abc")};
    VariantArray none;
    EXPECT_EQ(errorNumberOf([&] { invoke(target, "ClsGlobal", MemberKind::Put, notAGlobal); }),
              err::TypeMismatch);
    EXPECT_EQ(errorNumberOf([&] { invoke(target, "WindowState", MemberKind::Put, text); }),
              err::TypeMismatch);
    EXPECT_EQ(errorNumberOf([&] { invoke(target, "Caption", MemberKind::Put, none); }), 449);
    EXPECT_EQ(errorNumberOf([&] { invoke(target, "Cwindow", MemberKind::Put, text); }),
              err::ObjectDoesNotSupport);
    EXPECT_EQ(errorNumberOf([&] { invoke(target, "Stampa", MemberKind::Call, none); }),
              err::ObjectDoesNotSupport);
    EXPECT_TRUE(target.caption().isEmpty()) << "nothing was written by a refused call";
}

}  // namespace
}  // namespace krl::host
