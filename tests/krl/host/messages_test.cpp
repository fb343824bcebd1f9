#include <gtest/gtest.h>

#include "krl/host/catalogue_message_service.h"
#include "krl/host/multilingua.h"
#include "krl/host/presenter.h"
#include "krl/host/progid.h"

namespace krl::host {
namespace {

TEST(MessageCatalogue, HasATextForEveryIdTheProgramUses) {
    // Every message id the program's sources pass must show a real text, never the "not in the
    // catalogue" placeholder.
    const long ids[] = {5253,  6847,  8471,  8482,  9636,  11081, 11860, 12732, 12752,
                        14117, 15170, 19575, 19986, 20362, 20372, 21091, 23389, 24803,
                        25382, 30178, 30288, 34879, 34881, 35027, 38285, 38292, 38920,
                        39318, 40239, 42120, 43112, 44336, 48162, 50281, 50794, 50835,
                        52384, 52517, 52518, 55020, 60933, 69907, 69908, 74805, 74806};
    auto catalogue = MessageCatalogue::standard();
    for (long id : ids) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(catalogue->find(id).has_value());
        EXPECT_FALSE(catalogue->find(id)->empty());
    }
    EXPECT_EQ(catalogue->text(99999), "Messaggio 99999 non presente nel catalogo.");
}

TEST(FormatMessage, ReplacesNumberedPlaceholdersWithTheParametersText) {
    VariantArray eleven;
    for (int i = 1; i <= 11; ++i) {
        eleven.push_back(Variant("p" + std::to_string(i)));
    }
    struct Case {
        std::string text;
        VariantArray params;
        std::string expected;
    };
    const Case cases[] = {
        {"Documento (%1) non ammesso", {Variant("DDT'01")}, "Documento (DDT'01) non ammesso"},
        {"%2 prima di %1", {Variant("a"), Variant(std::int32_t{7})}, "7 prima di a"},
        {"%1 e %3", {Variant("x")}, "x e %3"},
        {"%10-%1", eleven, "p10-p1"},
        {"100% sicuro %1", {Variant::null()}, "100% sicuro "},
        {"nessuno", {}, "nessuno"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(formatMessage(c.text, c.params), c.expected);
    }
}

TEST(CatalogueMessageService, DrawsBoxesWithTheCatalogueTextThroughThePresenter) {
    ScriptedPresenter presenter;
    presenter.queue(vbNo);
    auto catalogue = std::make_shared<MessageCatalogue>();
    catalogue->add(100, "Documento %1 inesistente");
    CatalogueMessageService service(catalogue, &presenter);

    EXPECT_EQ(service.msgBoxFromId(100, vbYesNo + vbQuestion, "Titolo", {Variant("X1")}), vbNo);
    EXPECT_EQ(service.msgBox("Testo libero", vbOKOnly, "T2"), vbOK);
    EXPECT_EQ(service.textFromId(100, {Variant("Y")}), "Documento Y inesistente");

    auto boxes = presenter.boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].messageId, 100);
    EXPECT_EQ(boxes[0].text, "Documento X1 inesistente");
    EXPECT_EQ(boxes[0].buttons, 36);
    EXPECT_EQ(boxes[0].title, "Titolo");
    EXPECT_EQ(boxes[1].messageId, 0);
    EXPECT_EQ(boxes[1].text, "Testo libero");
}

TEST(CatalogueMessageService, UsesThePresenterOfTheCallingThread) {
    CatalogueMessageService service;
    ScriptedPresenter outer;
    ScriptedPresenter inner;
    ScopedPresenter outerScope(outer);
    {
        ScopedPresenter innerScope(inner);
        service.msgBox("dentro", vbOKOnly, "");
    }
    service.msgBox("fuori", vbOKOnly, "");
    ASSERT_EQ(inner.boxes().size(), 1u);
    EXPECT_EQ(inner.boxes()[0].text, "dentro");
    ASSERT_EQ(outer.boxes().size(), 1u);
    EXPECT_EQ(outer.boxes()[0].text, "fuori");
}

TEST(Presenters, AnswerABoxNobodyAnswersWithoutEverRetrying) {
    struct Case {
        int buttons;
        int scripted;    // ScriptedPresenter with nothing queued
        int unattended;  // nobody there (timeout, no presenter)
        int byDefault;   // the box's default button
    };
    const Case cases[] = {
        {0, vbOK, vbOK, vbOK},
        {48, vbOK, vbOK, vbOK},
        {64, vbOK, vbOK, vbOK},
        {vbOKCancel, vbOK, vbCancel, vbOK},
        {vbAbortRetryIgnore, vbAbort, vbAbort, vbAbort},
        {4370, vbAbort, vbAbort, vbRetry},
        {vbYesNoCancel, vbYes, vbCancel, vbYes},
        {vbYesNo, vbYes, vbNo, vbYes},
        {36, vbYes, vbNo, vbYes},
        {vbYesNo + 256, vbYes, vbNo, vbNo},
        {5, vbCancel, vbCancel, vbRetry},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.buttons);
        EXPECT_EQ(ScriptedPresenter::scriptDefault(c.buttons), c.scripted);
        EXPECT_EQ(unattendedAnswer(c.buttons), c.unattended);
        EXPECT_EQ(defaultAnswer(c.buttons), c.byDefault);
    }
}

TEST(Presenters, AThreadWithoutPresenterIsAnsweredUnattended) {
    CatalogueMessageService service;
    EXPECT_EQ(service.msgBox("x", vbOKCancel, ""), vbCancel);
    EXPECT_EQ(service.msgBox("x", 4370, ""), vbAbort);
}

TEST(FallbackMessageObject, IsCreatedByProgIdAndShowsCatalogueTexts) {
    ScriptedPresenter presenter;
    ScopedPresenter scope(presenter);
    auto messages =
        createObjectAs<CLSFW_MULTILINGUA>("fwbo_multilingua.clsfw_multilingua");  // any case
    ASSERT_TRUE(messages);
    messages->KRLMsgBox("[x30178x] testo", vbYesNo, "Titolo");
    messages->KRLMsgBoxFromId(30288, 64, "VidazIzozu");
    messages->KRLMsgBoxFromIdConParametri(42120, 48, "T", {Variant("ignorato")});

    auto boxes = presenter.boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "[x30178x] testo");
    EXPECT_EQ(boxes[0].messageId, 0);
    EXPECT_EQ(boxes[1].messageId, 30288);
    EXPECT_EQ(boxes[1].text,
              "Il collegamento ai dati multimediali è possibile solamente in fase di variazione");
    EXPECT_EQ(boxes[2].text, "Operazione avvenuta correttamente.");
}

TEST(ProgIdRegistry, UnknownProgIdRaises429) {
    try {
        createObject("NESSUNO.CLASSE");
        ADD_FAILURE() << "no error";
    } catch (const VbError& error) {
        EXPECT_EQ(error.number(), 429);
        EXPECT_EQ(error.description(), "Impossibile creare l'oggetto ActiveX");
        EXPECT_EQ(error.source(), "NESSUNO.CLASSE");
    }
}

TEST(ProgIdRegistry, ScopedRegistrationRestoresWhatWasThere) {
    struct Probe : Object {};
    ProgIdRegistry& registry = ProgIdRegistry::instance();
    {
        ProgIdRegistry::Scope scope(registry, "PROVA.PROBE",
                                    [] { return std::make_shared<Probe>(); });
        EXPECT_TRUE(std::dynamic_pointer_cast<Probe>(createObject("Prova.Probe")));
        {
            ProgIdRegistry::Scope shadow(registry, CLSFW_MULTILINGUA::progId,
                                         [] { return std::make_shared<Probe>(); });
            EXPECT_THROW(createObjectAs<CLSFW_MULTILINGUA>(CLSFW_MULTILINGUA::progId), VbError);
        }
        EXPECT_TRUE(createObjectAs<CLSFW_MULTILINGUA>(CLSFW_MULTILINGUA::progId));
    }
    EXPECT_FALSE(registry.contains("PROVA.PROBE"));
}

}  // namespace
}  // namespace krl::host
