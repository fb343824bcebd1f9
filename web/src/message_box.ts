// A modal message box. Its buttons follow the style value the program passed: the low four bits
// choose the set, 16/32/48/64 the icon, 256 and 512 make the second or third button the default.
// The answer goes back to the window thread that is waiting for it.

import { h, opaque } from "./dom.js";
import type { MessageBoxState } from "./protocol.js";
import { registerRenderer, type RenderContext } from "./renderers.js";

export const answerCaptions: Record<number, string> = {
    1: "OK",
    2: "Annulla",
    3: "Interrompi",
    4: "Riprova",
    5: "Ignora",
    6: "Sì",
    7: "No",
};

const buttonSets: Record<number, number[]> = {
    0: [1],
    1: [1, 2],
    2: [3, 4, 5],
    3: [6, 7, 2],
    4: [6, 7],
    5: [4, 2],
};

export function answersFor(style: number): number[] {
    return buttonSets[style & 0x0f] ?? [1];
}

export function defaultAnswerFor(style: number): number {
    const answers = answersFor(style);
    const index = (style & 0x300) >> 8; // 0 first, 1 second, 2 third
    return answers[Math.min(index, answers.length - 1)] ?? answers[0] ?? 1;
}

function icon(style: number): { symbol: string; name: string } | null {
    switch (style & 0x70) {
        case 16:
            return { symbol: "⛔", name: "Errore" };
        case 32:
            return { symbol: "?", name: "Domanda" };
        case 48:
            return { symbol: "⚠", name: "Attenzione" };
        case 64:
            return { symbol: "ℹ", name: "Informazione" };
        default:
            return null;
    }
}

export function renderMessageBox(box: MessageBoxState, context: RenderContext): HTMLElement {
    const answers = answersFor(box.buttons);
    const preferred = defaultAnswerFor(box.buttons);
    const mark = icon(box.buttons);
    const titleId = `message-title-${box.id}`;
    const buttons = answers.map((answer) => {
        const button = h(
            "button",
            { type: "button", "data-answer": answer, class: answer === preferred ? "default" : null },
            answerCaptions[answer] ?? String(answer),
        );
        button.addEventListener("click", () => context.send({ type: "answer", messageId: box.id, answer }));
        return button;
    });
    const dialog = h(
        "div",
        {
            role: "dialog",
            "aria-modal": "true",
            "aria-labelledby": titleId,
            class: "message-box",
            "data-message-id": box.id,
            "data-default-answer": preferred,
        },
        h("h2", { id: titleId }, box.title),
        h(
            "div",
            { class: "message-body" },
            mark ? h("span", { class: "message-icon", role: "img", "aria-label": mark.name }, mark.symbol) : null,
            h("p", { class: "message-text" }, box.text),
        ),
        h("div", { class: "message-buttons" }, ...buttons),
    );
    dialog.addEventListener("keydown", (event) => {
        if (event.key === "Enter" && !(event.target instanceof HTMLButtonElement)) {
            event.preventDefault();
            context.send({ type: "answer", messageId: box.id, answer: preferred });
        } else if (event.key === "Escape" && answers.includes(2)) {
            event.preventDefault();
            context.send({ type: "answer", messageId: box.id, answer: 2 });
        }
    });
    return opaque(h("div", { class: "modal-backdrop" }, dialog), box);
}

registerRenderer("messageBox", renderMessageBox);
