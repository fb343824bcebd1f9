// The "Verifica" list: the problems of the stored parameters of the window's company, one button
// each; choosing one closes the list and hands the problem back, for the host to take the person to
// the page and control concerned. Escape or "Chiudi" closes the list and gives the focus back.

import { h } from "./dom.js";

export interface CheckProblem {
    text: string;
    document: string; // the document row to choose in the header first; empty for none
    group: string; // the side-bar group and item showing it; empty for none
    item: string;
    control: string; // the control concerned; empty for a rule about the whole row
}

export interface CheckAnswer {
    company: number;
    problems: CheckProblem[];
}

// The list is put in `container` (the host's main landmark).
export function showCheck(
    answer: CheckAnswer,
    container: HTMLElement,
    choose: (problem: CheckProblem) => void,
    opener: HTMLElement | null,
): void {
    const count = answer.problems.length;
    const rows = answer.problems.map((problem, index) => {
        const button = h("button", { type: "button", class: "check-row", "data-check-row": index }, problem.text);
        button.addEventListener("click", () => {
            backdrop.remove();
            choose(problem);
        });
        return button;
    });
    const closeButton = h("button", { type: "button", "data-check": "close" }, "Chiudi");
    const close = (): void => {
        backdrop.remove();
        opener?.focus();
    };
    closeButton.addEventListener("click", close);
    const dialog = h(
        "div",
        { role: "dialog", "aria-modal": "true", "aria-labelledby": "check-title", class: "message-box check-list", "data-check-dialog": true },
        h("h2", { id: "check-title" }, `Verifica dei parametri della ditta ${answer.company}`),
        h(
            "p",
            {},
            count === 0
                ? "Nessun problema nei parametri salvati."
                : `${count === 1 ? "Un problema" : `${count} problemi`}: scegliere una riga per andare al campo.`,
        ),
        count > 0 ? h("ul", { class: "check-rows" }, ...rows.map((row) => h("li", {}, row))) : null,
        h("div", { class: "message-buttons" }, closeButton),
    );
    dialog.addEventListener("keydown", (event) => {
        const at = rows.indexOf(document.activeElement as HTMLButtonElement);
        if (event.key === "Escape") {
            event.preventDefault();
            close();
        } else if ((event.key === "ArrowDown" || event.key === "ArrowUp") && at >= 0) {
            event.preventDefault();
            const next = at + (event.key === "ArrowDown" ? 1 : -1);
            rows[Math.max(0, Math.min(rows.length - 1, next))]?.focus();
        }
    });
    const backdrop = h("div", { class: "modal-backdrop" }, dialog);
    container.append(backdrop);
    (rows[0] ?? closeButton).focus();
}
