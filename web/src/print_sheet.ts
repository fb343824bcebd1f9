// The printable parameter sheet: what the program prints, laid out for paper.

import { h, opaque } from "./dom.js";
import type { PrintSheetState } from "./protocol.js";
import { registerRenderer, type RenderContext } from "./renderers.js";

export function renderPrintSheet(sheet: PrintSheetState, context: RenderContext): HTMLElement {
    const print = h("button", { type: "button", "data-print": "print" }, "Stampa");
    print.addEventListener("click", () => window.print());
    const close = h("button", { type: "button", "data-print": "close" }, "Chiudi");
    close.addEventListener("click", () => context.send({ type: "closePrint" }));
    const sheetElement = h(
        "section",
        { class: "print-sheet", "data-print-sheet": "" },
        h("div", { class: "print-actions" }, print, close),
        h("h1", {}, sheet.title),
        sheet.subtitle ? h("p", { class: "print-subtitle" }, sheet.subtitle) : null,
        ...sheet.sections.map((section) =>
            h(
                "table",
                { class: "print-section" },
                h("caption", {}, section.caption),
                h(
                    "tbody",
                    {},
                    ...section.rows.map((row) =>
                        h("tr", {}, h("th", { scope: "row" }, row.label), h("td", {}, row.value)),
                    ),
                ),
            ),
        ),
    );
    return opaque(sheetElement, sheet);
}

registerRenderer("printSheet", renderPrintSheet);
