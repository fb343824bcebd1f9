// "Storico": the change history of the record in front, newest first, one row per change set with
// its changed columns by caption, old → new. More rows come a page at a time.

import { h, opaque } from "./dom.js";
import type { HistoryState } from "./protocol.js";
import { registerRenderer, type RenderContext } from "./renderers.js";

const timeFormat = new Intl.DateTimeFormat("it-IT", { dateStyle: "short", timeStyle: "medium" });

// The UTC time the server keeps, shown in the browser's own time zone.
function localTime(utc: string): string {
    const parsed = new Date(`${utc}Z`);
    return Number.isNaN(parsed.getTime()) ? utc : timeFormat.format(parsed);
}

function shownValue(value: string | null): string {
    return value === null ? "(vuoto)" : value;
}

export function renderHistory(history: HistoryState, context: RenderContext): HTMLElement {
    const close = () => context.send({ type: "closeHistory" });
    const withDocument = history.rows.some((row) => row.document !== null);
    const rows = history.rows.map((row) =>
        h(
            "tr",
            { "data-history-row": String(row.id) },
            h("td", {}, h("time", { datetime: `${row.time}Z` }, localTime(row.time))),
            h("td", {}, row.user),
            withDocument ? h("td", {}, row.document ?? "") : null,
            h(
                "td",
                {},
                h(
                    "ul",
                    { class: "history-columns" },
                    ...row.columns.map((column) =>
                        h(
                            "li",
                            { "data-history-column": column.column, title: column.column },
                            h("span", { class: "history-caption" }, column.caption),
                            ": ",
                            h("span", { class: "history-before" }, shownValue(column.before)),
                            " → ",
                            h("span", { class: "history-after" }, shownValue(column.after)),
                        ),
                    ),
                ),
            ),
        ),
    );
    const closeButton = h("button", { type: "button", "data-history": "close" }, "Chiudi");
    closeButton.addEventListener("click", close);
    const more =
        history.rows.length < history.total
            ? h("button", { type: "button", "data-history": "more" }, "Altre modifiche")
            : null;
    more?.addEventListener("click", () => context.send({ type: "historyMore" }));
    const dialog = h(
        "div",
        {
            role: "dialog",
            "aria-modal": "true",
            "aria-label": history.title,
            class: "history",
            "data-history-dialog": "",
        },
        h("h2", {}, history.title),
        h(
            "p",
            { class: "history-count" },
            history.total === 0
                ? "Nessuna modifica registrata."
                : `${history.rows.length} di ${history.total} modifiche, dalla più recente.`,
        ),
        rows.length > 0
            ? h(
                  "div",
                  { class: "history-scroll", tabindex: 0, role: "region", "aria-label": "Modifiche" },
                  h(
                      "table",
                      {},
                      h(
                          "thead",
                          {},
                          h(
                              "tr",
                              {},
                              h("th", { scope: "col" }, "Data e ora"),
                              h("th", { scope: "col" }, "Utente"),
                              withDocument ? h("th", { scope: "col" }, "Documento") : null,
                              h("th", { scope: "col" }, "Campi modificati"),
                          ),
                      ),
                      h("tbody", {}, ...rows),
                  ),
              )
            : null,
        h("div", { class: "history-buttons" }, more, closeButton),
    );
    dialog.addEventListener("keydown", (event) => {
        if (event.key === "Escape") {
            event.preventDefault();
            close();
        }
    });
    return opaque(h("div", { class: "modal-backdrop" }, dialog), history);
}

registerRenderer("history", renderHistory);
