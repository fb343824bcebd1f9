// The sign-in page.

import { api, ApiError } from "./http.js";

const form = document.querySelector<HTMLFormElement>("form[data-form=login]");
const user = document.querySelector<HTMLInputElement>("[data-control=login-user]");
const password = document.querySelector<HTMLInputElement>("[data-control=login-password]");
const submit = document.querySelector<HTMLButtonElement>("[data-control=login-submit]");
const message = document.querySelector<HTMLElement>("[data-message=login]");

function show(text: string): void {
    if (message) {
        message.textContent = text;
        message.hidden = text === "";
    }
}

if (new URLSearchParams(location.search).has("scaduta")) {
    show("Sessione scaduta. Accedere di nuovo.");
} else if (new URLSearchParams(location.search).has("revocata")) {
    show("L'utente non è più abilitato o la sua password è cambiata: la sessione è stata chiusa.");
}

form?.addEventListener("submit", async (event) => {
    event.preventDefault();
    if (!user || !password || !submit) {
        return;
    }
    submit.disabled = true;
    show("");
    try {
        await api("POST", "/api/login", { user: user.value, password: password.value });
        location.assign("/");
    } catch (error) {
        show(error instanceof ApiError ? error.message : "Accesso non riuscito.");
        password.value = "";
        password.focus();
    } finally {
        submit.disabled = false;
    }
});
