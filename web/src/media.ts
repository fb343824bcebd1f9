// The multimedia links of the record: the items attached to it and a small file to attach.

import { h, opaque, uniqueId } from "./dom.js";
import type { MediaState } from "./protocol.js";
import { registerRenderer, type RenderContext } from "./renderers.js";

// The server takes files up to this size (the request carries them as base64).
const maxBytes = 40 * 1024;

function base64(bytes: Uint8Array): string {
    let binary = "";
    for (const byte of bytes) {
        binary += String.fromCharCode(byte);
    }
    return btoa(binary);
}

export function renderMedia(media: MediaState, context: RenderContext): HTMLElement {
    const rows = media.items.map((item) =>
        h(
            "tr",
            { "data-media-item": item.progr },
            h("td", {}, String(item.progr)),
            h("td", {}, item.description),
            h("td", {}, item.fileName),
            h("td", {}, item.inserted),
        ),
    );
    const fileId = uniqueId("media-file");
    const file = h("input", { id: fileId, type: "file", "data-media": "file" });
    const description = h("input", { type: "text", "data-media": "description", maxlength: 80 });
    const problem = h("p", { class: "media-problem", role: "alert", hidden: true });
    const attach = h("button", { type: "button", "data-media": "attach" }, "Collega");
    attach.addEventListener("click", async () => {
        const chosen = file.files?.[0];
        if (!chosen) {
            problem.textContent = "Scegliere un file.";
            problem.hidden = false;
            return;
        }
        if (chosen.size > maxBytes) {
            problem.textContent = `Il file supera i ${maxBytes / 1024} KB ammessi.`;
            problem.hidden = false;
            return;
        }
        const content = base64(new Uint8Array(await chosen.arrayBuffer()));
        context.send({
            type: "attachMedia",
            description: description.value || chosen.name,
            fileName: chosen.name,
            content,
        });
    });
    const close = h("button", { type: "button", "data-media": "close" }, "Chiudi");
    close.addEventListener("click", () => context.send({ type: "closeMedia" }));
    const dialog = h(
        "section",
        { class: "media", role: "dialog", "aria-label": "Collegamenti multimediali", "data-media-dialog": "" },
        h("h3", {}, "Collegamenti multimediali"),
        rows.length > 0
            ? h(
                  "table",
                  { class: "media-items" },
                  h("thead", {}, h("tr", {}, h("th", {}, "N."), h("th", {}, "Descrizione"), h("th", {}, "File"), h("th", {}, "Inserito"))),
                  h("tbody", {}, ...rows),
              )
            : h("p", {}, "Nessun elemento collegato."),
        h(
            "div",
            { class: "media-attach" },
            h("label", { for: fileId }, "File"),
            file,
            h("label", {}, "Descrizione ", description),
            attach,
        ),
        problem,
        h("div", { class: "media-actions" }, close),
    );
    return opaque(dialog, media);
}

registerRenderer("media", renderMedia);
