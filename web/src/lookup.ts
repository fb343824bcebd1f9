// The list of codes a field accepts, with a search box that narrows the rows as one types.

import { h, opaque } from "./dom.js";
import type { LookupState } from "./protocol.js";
import { registerRenderer, type RenderContext } from "./renderers.js";

export function renderLookup(lookup: LookupState, context: RenderContext): HTMLElement {
    const choose = (code: string) => context.send({ type: "chooseLookupRow", control: lookup.control, code });
    const close = () => context.send({ type: "closeLookup", control: lookup.control });

    const search = h("input", {
        type: "search",
        class: "lookup-search",
        "data-lookup-search": lookup.control,
        placeholder: "Cerca…",
        "aria-label": "Cerca",
        autocomplete: "off",
    });
    const body = h("tbody", {});
    const rows = lookup.rows.map((row) => {
        const tr = h("tr", { "data-lookup-row": row.code, tabindex: 0 }, ...row.cells.map((cell) => h("td", {}, cell)));
        tr.addEventListener("click", () => choose(row.code));
        tr.addEventListener("keydown", (event) => {
            if (event.key === "Enter") {
                event.preventDefault();
                choose(row.code);
            }
        });
        body.append(tr);
        return { tr, text: [row.code, ...row.cells].join(" ").toLowerCase() };
    });
    const empty = h("p", { class: "lookup-empty" }, "Nessun elemento trovato.");
    empty.hidden = rows.length > 0;
    search.addEventListener("input", () => {
        const wanted = search.value.trim().toLowerCase();
        let shown = 0;
        for (const row of rows) {
            row.tr.hidden = wanted !== "" && !row.text.includes(wanted);
            shown += row.tr.hidden ? 0 : 1;
        }
        empty.hidden = shown > 0;
    });
    search.addEventListener("keydown", (event) => {
        if (event.key === "Enter") {
            const first = rows.find((row) => !row.tr.hidden);
            if (first) {
                event.preventDefault();
                choose(first.tr.dataset["lookupRow"] ?? "");
            }
        }
    });

    const closeButton = h("button", { type: "button", class: "lookup-close" }, "Chiudi");
    closeButton.addEventListener("click", close);
    const dialog = h(
        "div",
        { role: "dialog", "aria-modal": "true", "aria-label": lookup.title, class: "lookup", "data-lookup": lookup.control },
        h("h2", {}, lookup.title),
        search,
        h(
            "table",
            {},
            h("thead", {}, h("tr", {}, ...lookup.columns.map((column) => h("th", { scope: "col" }, column.caption)))),
            body,
        ),
        empty,
        h("div", { class: "lookup-buttons" }, closeButton),
    );
    dialog.addEventListener("keydown", (event) => {
        if (event.key === "Escape") {
            event.preventDefault();
            close();
        }
    });
    return opaque(h("div", { class: "modal-backdrop" }, dialog), lookup);
}

registerRenderer("lookup", renderLookup);
